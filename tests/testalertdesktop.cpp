#include "app/globals.h"
#include "app/jtime.h"
#include "support/temporaryconfiguration.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QApplication>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTest>

// With an XEmbed tray only (no StatusNotifierWatcher on the bus), Qt draws
// the balloon itself as a top-level QBalloonTip near the icon.
class TestAlertDesktop : public QObject
{
    Q_OBJECT

private slots:
    void alarmBalloonShowsTitleAndText();
};

static QStringList shownBalloonTexts()
{
    QStringList texts;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && qstrcmp(window->metaObject()->className(), "QBalloonTip") == 0) {
            for (const QLabel* label : window->findChildren<QLabel*>())
                texts << label->text();
        }
    }
    return texts;
}

void TestAlertDesktop::alarmBalloonShowsTitleAndText()
{
    TemporaryConfiguration conf;
    creer_objets_globaux();
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    QVERIFY(QSystemTrayIcon::supportsMessages());
    {
        FenetreAlarmes window(nullptr);
        QVERIFY(shownBalloonTexts().isEmpty());
        // Due in the minute of the tick source's last check, so it rings at once.
        window.newAlarm(Alarme{g_jtime->hour(), g_jtime->minute(), true, QStringLiteral("Réveil"),
                               QStringLiteral("Il est l'heure"), false, QString()});
        QTRY_VERIFY_WITH_TIMEOUT(shownBalloonTexts().contains(QStringLiteral("Réveil")), 5000);
        const QStringList texts = shownBalloonTexts();
        QVERIFY2(texts.contains(QStringLiteral("Il est l'heure")), qPrintable(texts.join('|')));
    }
    liberer_objets_globaux();
}

QTEST_MAIN(TestAlertDesktop)
#include "testalertdesktop.moc"
