#include "app/applicationlifetime.h"
#include "app/clock.h"
#include "app/configuration.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "mainwindow/aboutdialog.h"
#include "mainwindow/fenetreprincipale.h"
#include "mainwindow/shake.h"
#include "support/temporaryconfiguration.h"
#include "support/urlrecorder.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <memory>
#include <tuple>

using Positions = QList<QPoint>;

namespace {

// Every position a window passes through.
struct MoveRecorder : QObject
{
    explicit MoveRecorder(QWidget* window) { window->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Move)
            positions.append(static_cast<QWidget*>(watched)->pos());
        return false;
    }
    Positions positions;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void textsOfOneTick_data();
    void textsOfOneTick();
    void showsTheTimeOfTheTickFromTheStart();
    void faceFollowsTheSettingsAtTheNextTick();
    void quitEndsTheEventLoop();
    void trayActivationShowsTheWindow();
    void webLinks_data();
    void webLinks();
    void aboutDialogOpensOnceAndLinksHome();
    void bellFollowsTheArmedAlarms();
    void alarmWindowIsShownAndSavesItsAlarmsAtTheEnd();
    void changerLangueStoresTheLanguage();

    void shakeMoves_data();
    void shakeMoves();
    void hourlyChime_data();
    void hourlyChime();

private:
    FenetrePrincipale* window() const { return m_window.get(); }
    QString text(const char* label) const { return window()->findChild<QLabel*>(label)->text(); }
    void tickAt(QTime time);

    std::unique_ptr<TemporaryConfiguration> m_conf;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<ScopedClock> m_scopedClock;
    std::unique_ptr<FenetrePrincipale> m_window;
};

void TestMainWindow::initTestCase()
{
    // An English machine, where the date line must still read French.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // No sound server, wherever the suite runs.
    qputenv("PULSE_SERVER", "unix:/nonexistent/clepsa-no-sound");
}

void TestMainWindow::init()
{
    m_conf = std::make_unique<TemporaryConfiguration>();
    m_clock = std::make_unique<ManualClock>(QDateTime(QDate(2026, 12, 5), QTime(14, 7, 9)));
    m_scopedClock = std::make_unique<ScopedClock>(m_clock.get());
    creer_objets_globaux();
    m_window = std::make_unique<FenetrePrincipale>();
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    liberer_objets_globaux();
    m_scopedClock.reset();
    m_clock.reset();
    m_conf.reset();
}

void TestMainWindow::tickAt(QTime time)
{
    m_clock->setCurrentDateTime(QDateTime(m_clock->currentDateTime().date(), time));
    g_jtime->check();
}

void TestMainWindow::textsOfOneTick_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");

    QTest::addRow("French names, day padded")
        << QDateTime(QDate(2026, 12, 5), QTime(9, 3, 7)) << "Samedi 05 Décembre 2026" << "09:03:07";
    QTest::addRow("accented month, midnight")
        << QDateTime(QDate(2026, 8, 15), QTime(0, 0, 0)) << "Samedi 15 Août 2026" << "00:00:00";
}

void TestMainWindow::textsOfOneTick()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, date);
    QFETCH(QString, time);

    m_clock->setCurrentDateTime(now);
    g_jtime->check();
    QCOMPARE(text("m_heure"), time);
    QCOMPARE(text("m_date"), date);
    QCOMPARE(g_trayIcon->toolTip(), date + " - " + time.left(5));
    QCOMPARE(g_trayIcon->contextMenu()->actions().first()->text(), "Rivozur - " + time);
}

void TestMainWindow::showsTheTimeOfTheTickFromTheStart()
{
    QCOMPARE(text("m_heure"), QStringLiteral("14:07:09"));
    m_clock->setCurrentDateTime(QDateTime(QDate(2026, 12, 5), QTime(6, 30, 0)));
    window()->update_horloge();
    QCOMPARE(text("m_heure"), QStringLiteral("14:07:09"));
}

void TestMainWindow::faceFollowsTheSettingsAtTheNextTick()
{
    // Out of range, as in a hand-edited file: the nearest colour, the thinnest
    // hands, and no complaint at every tick.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QColor|QPen")));
    Configuration& c = g_configuration;
    std::tie(c.horloge_pen_r, c.horloge_pen_v, c.horloge_pen_b, c.horloge_pen_size) = std::tuple(300, -4, 128, -3);
    c.horloge_aiguille_seconde = false;
    tickAt(QTime(3, 0, 30));
    const QImage face = window()->findChild<QLabel*>("m_horloge")->pixmap().toImage();
    // Hour hand at 3, a one-pixel minute hand at 0, no second hand at 30.
    QCOMPARE(face.pixel(38, 29), qRgb(255, 0, 128));
    QCOMPARE(face.pixel(29, 20), qRgb(255, 0, 128));
    QVERIFY(face.pixel(28, 20) != qRgb(255, 0, 128));
    QVERIFY(face.pixel(29, 40) != qRgb(255, 0, 128));
}

void TestMainWindow::quitEndsTheEventLoop()
{
    // From the menu bar and from the tray menu.
    QAction* tray = g_trayIcon->contextMenu()->actions().last();
    for (QAction* quit : {window()->findChild<QAction*>("actionQuitter"), tray}) {
        QObject guard;
        QTimer::singleShot(0, quit, &QAction::trigger);
        QTimer::singleShot(5000, &guard, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
}

void TestMainWindow::trayActivationShowsTheWindow()
{
    for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick,
                              QSystemTrayIcon::Context}) {
        window()->hide();
        emit g_trayIcon->activated(reason);
        QVERIFY2(window()->isVisible(), qPrintable(QString::number(reason)));
    }
}

void TestMainWindow::webLinks_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QUrl>("page");
    QTest::addRow("Aide en ligne") << "Aide en ligne" << ApplicationLifetime::homePageUrl();
    QTest::addRow("Aidez-nous") << "Aidez-nous" << ApplicationLifetime::helpUsPageUrl();
    QTest::addRow("plug-in menu") << "Télécharger..." << ApplicationLifetime::homePageUrl();
}

void TestMainWindow::webLinks()
{
    QFETCH(QString, action);
    QFETCH(QUrl, page);
    UrlRecorder browser;
    for (QAction* a : window()->findChildren<QAction*>()) {
        if (a->text() == action)
            a->trigger();
    }
    QCOMPARE(browser.opened, QList<QUrl>{page});
}

void TestMainWindow::aboutDialogOpensOnceAndLinksHome()
{
    for (int time = 0; time < 2; ++time)
        window()->findChild<QAction*>("actionAPropos")->trigger();
    const QList<AboutDialog*> dialogs = window()->findChildren<AboutDialog*>();
    QCOMPARE(dialogs.size(), 1);
    QVERIFY(dialogs[0]->isVisible());
    const QString link = QStringLiteral("href=\"%1\"").arg(ApplicationLifetime::homePageUrl().toString());
    QVERIFY(dialogs[0]->findChild<QLabel*>("label_6")->text().contains(link));
}

void TestMainWindow::bellFollowsTheArmedAlarms()
{
    m_window.reset();
    m_conf->write("[alarm]\n1\\h=7\n1\\m=30\n1\\active=false\n1\\title=Lever\n"
                  "2\\h=8\n2\\m=0\n2\\active=true\n2\\title=Bus\nsize=2\n");
    m_window = std::make_unique<FenetrePrincipale>();
    const QLabel* bell = window()->findChild<QLabel*>("m_cloche");
    QVERIFY(!bell->isHidden());

    // Disarming the only armed alarm puts the bell out at the next tick.
    auto* table = window()->findChild<FenetreAlarmes*>()->findChild<QTabWidget*>("_table");
    table->widget(1)->findChild<QRadioButton*>("m_radio_active_non")->click();
    QVERIFY(!bell->isHidden());
    tickAt(QTime(14, 7, 10));
    QVERIFY(bell->isHidden());

    table->widget(0)->findChild<QRadioButton*>("m_radio_active_oui")->click();
    tickAt(QTime(14, 7, 11));
    QVERIFY(!bell->isHidden());
}

void TestMainWindow::alarmWindowIsShownAndSavesItsAlarmsAtTheEnd()
{
    m_window.reset();
    m_conf->write("[alarm]\n1\\h=6\n1\\m=45\n1\\active=true\n1\\title=Lever\nsize=1\n");
    m_window = std::make_unique<FenetrePrincipale>();
    auto* alarms = window()->findChild<FenetreAlarmes*>();
    QVERIFY(alarms->isHidden());

    QAction* menuEntry = window()->findChild<QAction*>("actionAlarme");
    menuEntry->trigger();
    alarms->close();
    menuEntry->trigger();
    QVERIFY(alarms->isVisible());
    auto* table = alarms->findChild<QTabWidget*>("_table");
    QCOMPARE(table->tabText(0), QStringLiteral("Alarme n°1"));

    table->widget(0)->findChild<QRadioButton*>("m_radio_active_non")->click();
    m_window.reset();
    const auto file = m_conf->read();
    QCOMPARE(file->value("alarm/1/title").toString(), QStringLiteral("Lever"));
    QCOMPARE(file->value("alarm/1/active").toBool(), false);
}

void TestMainWindow::changerLangueStoresTheLanguage()
{
    QAction english;
    english.setWhatsThis(QStringLiteral("en"));
    QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
    window()->changer_langue(&english);
    QCOMPARE(g_configuration.langue, QStringLiteral("en"));
}

void TestMainWindow::shakeMoves_data()
{
    QTest::addColumn<int>("intensity");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<QSet<int>>("offsets");

    QTest::addRow("0 rounds move nothing") << 5 << 0 << QSet<int>{};
    QTest::addRow("intensity 0 moves exactly 1 px") << 0 << 3 << QSet<int>{1};
    QTest::addRow("negative intensity counts as 0") << -7 << 2 << QSet<int>{1};
    QTest::addRow("intensity 4 moves 1 to 5 px") << 4 << 200 << QSet<int>{1, 2, 3, 4, 5};
}

void TestMainWindow::shakeMoves()
{
    QFETCH(int, intensity);
    QFETCH(int, rounds);
    QFETCH(QSet<int>, offsets);

    QWidget target;
    target.move(100, 200);
    target.show();
    MoveRecorder recorder(&target);
    vibrer_fenetre(&target, intensity, rounds);
    // Each round out and back, first to the left and down, then to the right
    // and up, and so on.
    const Positions& p = recorder.positions;
    QCOMPARE(p.size(), 2 * rounds);
    QSet<int> seen;
    for (int i = 0; i < p.size(); i += 2) {
        const int quarter = i % 4 == 0 ? 1 : -1;
        seen << (100 - p[i].x()) * quarter << (p[i].y() - 200) * quarter;
        QCOMPARE(p[i + 1], QPoint(100, 200));
    }
    QCOMPARE(seen, offsets);
    QCOMPARE(target.pos(), QPoint(100, 200));
}

void TestMainWindow::hourlyChime_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("shake");

    QTest::addRow("type 0 is silent and still shakes") << 0 << true;
    QTest::addRow("type 1 beeps, then shakes") << 1 << true;
    QTest::addRow("type 2 plays the WAV, then shakes") << 2 << true;
    QTest::addRow("type 3 is silent and still shakes") << 3 << true;
    QTest::addRow("no shake when it is off") << 1 << false;
}

void TestMainWindow::hourlyChime()
{
    QFETCH(int, type);
    QFETCH(bool, shake);

    g_configuration.sonnerie_type = type;
    g_configuration.sonnerie_son = QFINDTESTDATA("../resources/ding.wav");
    g_configuration.vibration_active = shake;
    g_configuration.vibration_duree = 2;
    window()->show();
    const QPoint start = window()->pos();
    MoveRecorder recorder(window());

    tickAt(QTime(15, 0, 0));
    QCOMPARE(recorder.positions.size(), shake ? 4 : 0);
    QCOMPARE(window()->pos(), start);
    // Nothing would ever end a sound without a sound server: no sound object
    // may stay behind waiting for it.
    QTRY_COMPARE(window()->findChildren<QSoundEffect*>().size(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "testmainwindow.moc"
