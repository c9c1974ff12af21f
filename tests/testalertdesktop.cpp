#include "app/clock.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "support/temporaryconfiguration.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QApplication>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTest>

// The balloon as the session's tray shows it. With an XEmbed tray only (no
// StatusNotifierWatcher on the bus), Qt draws the balloon itself as a
// top-level window of class QBalloonTip, near the icon.
class TestAlertDesktop : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void alarmBalloonShowsTitleAndText();

private:
    std::unique_ptr<TemporaryConfiguration> m_conf;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<ScopedClock> m_scopedClock;
};

static QDateTime at(const QString& dateTime)
{
    return QDateTime::fromString(dateTime, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

static QWidget* shownBalloon()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && qstrcmp(window->metaObject()->className(), "QBalloonTip") == 0)
            return window;
    }
    return nullptr;
}

static QStringList labelTexts(QWidget* window)
{
    QStringList texts;
    for (const QLabel* label : window->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

void TestAlertDesktop::init()
{
    m_conf = std::make_unique<TemporaryConfiguration>();
    m_clock = std::make_unique<ManualClock>(at(QStringLiteral("2026-12-05 07:29:58.000")));
    m_scopedClock = std::make_unique<ScopedClock>(m_clock.get());
    creer_objets_globaux();
}

void TestAlertDesktop::cleanup()
{
    liberer_objets_globaux();
    m_scopedClock.reset();
    m_clock.reset();
    m_conf.reset();
}

void TestAlertDesktop::alarmBalloonShowsTitleAndText()
{
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    QVERIFY(QSystemTrayIcon::supportsMessages());
    FenetreAlarmes window(nullptr);
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Réveil"), QStringLiteral("Il est l'heure"), false, QString()});
    QVERIFY(!shownBalloon());

    m_clock->setCurrentDateTime(at(QStringLiteral("2026-12-05 07:30:00.003")));
    g_jtime->check();

    QTRY_VERIFY_WITH_TIMEOUT(shownBalloon(), 5000);
    const QStringList texts = labelTexts(shownBalloon());
    QVERIFY2(texts.contains(QStringLiteral("Réveil")), qPrintable(texts.join('|')));
    QVERIFY2(texts.contains(QStringLiteral("Il est l'heure")), qPrintable(texts.join('|')));
}

QTEST_MAIN(TestAlertDesktop)
#include "testalertdesktop.moc"
