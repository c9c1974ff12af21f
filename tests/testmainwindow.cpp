#include "app/clock.h"
#include "app/clockface.h"
#include "app/configuration.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/moverecorder.h"
#include "support/testday.h"
#include "support/uidriver.h"
#include "support/urlrecorder.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/toolwindow.h"

#include <QSoundEffect>
#include <QtTest>
#include <QtWidgets>

#include <memory>
#include <tuple>

using Alarms = QList<std::tuple<int, int, bool, QString>>;
using Countdowns = QList<std::pair<int, QString>>;

namespace {

// The entry with that text in a menu or any of its submenus.
QAction* findEntry(const QList<QAction*>& actions, const QString& text)
{
    for (QAction* action : actions) {
        if (action->text() == text)
            return action;
        if (QAction* found = action->menu() ? findEntry(action->menu()->actions(), text) : nullptr)
            return found;
    }
    return nullptr;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showsTheDateAndTimeOfTheTick();
    void faceFollowsTheSettingsAtTheNextTick();
    void menuEntries_data();
    void menuEntries();
    void bellFollowsTheArmedAlarmsAtTheNextTick();
    void tooltipsTellWhatComesNext_data();
    void tooltipsTellWhatComesNext();
    void hourlyChimeAndShake_data();
    void hourlyChimeAndShake();
    void faceLooksAsItsStyleSheetPaintsIt();
    void aTickRepaintsTheFaceAndTheTimeAlone();

private:
    QString text(const char* label) const { return m_window->findChild<QLabel*>(label)->text(); }
    void tickAt(const QDateTime& now);

    std::unique_ptr<TestDay> m_day;
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
    m_day = std::make_unique<TestDay>(QStringLiteral("14:07:09.000"));
    m_window = std::make_unique<FenetrePrincipale>();
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    m_day.reset();
}

void TestMainWindow::tickAt(const QDateTime& now)
{
    m_day->clock.setCurrentDateTime(now);
    g_jtime->check();
}

void TestMainWindow::showsTheDateAndTimeOfTheTick()
{
    // Filled by the construction already.
    QCOMPARE(text("m_heure"), QStringLiteral("14:07:09"));

    tickAt(QDateTime(QDate(2026, 8, 31), QTime(23, 59, 59, 900)));
    QCOMPARE(text("m_date") + ' ' + text("m_heure"), QStringLiteral("Lundi 31 Août 2026 23:59:59"));
    QCOMPARE(g_trayIcon->toolTip(), QStringLiteral("Lundi 31 Août 2026 - 23:59"));
    // The tray menu's title, while the menu is open.
    const QAction* title = g_trayIcon->contextMenu()->actions().first();
    emit g_trayIcon->contextMenu()->aboutToShow();
    QCOMPARE(title->text(), QStringLiteral("Rivozur - 23:59:59"));

    // Redrawn after midnight has come but before it was ticked, the window
    // still shows the tick's date with the tick's time.
    m_day->clock.setCurrentDateTime(QDateTime(QDate(2026, 9, 1), QTime(0, 0, 0, 200)));
    m_window->update_horloge();
    QCOMPARE(text("m_date") + ' ' + text("m_heure"), QStringLiteral("Lundi 31 Août 2026 23:59:59"));
    g_jtime->check();
    QCOMPARE(text("m_date") + ' ' + text("m_heure"), QStringLiteral("Mardi 01 Septembre 2026 00:00:00"));
    QCOMPARE(title->text(), QStringLiteral("Rivozur - 00:00:00"));
    emit g_trayIcon->contextMenu()->aboutToHide();
    tickAt(QDateTime(QDate(2026, 9, 1), QTime(0, 0, 1)));
    QCOMPARE(title->text(), QStringLiteral("Rivozur - 00:00:00"));
}

void TestMainWindow::faceFollowsTheSettingsAtTheNextTick()
{
    // Out of range, as in a hand-edited file: the nearest colour, the thinnest
    // hands, and no complaint at every tick.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QColor|QPen")));
    Configuration& c = g_configuration;
    std::tie(c.horloge_pen_r, c.horloge_pen_v, c.horloge_pen_b, c.horloge_pen_size) =
        std::tuple(300, -4, 128, -3);
    c.horloge_aiguille_seconde = false;
    m_window->show();
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(3, 0, 30)));
    QLabel* label = m_window->findChild<QLabel*>("m_horloge");
    const QImage face = label->grab(label->contentsRect()).toImage();
    // Hour hand at 3, a one-pixel minute hand at 0, no second hand at 30.
    QCOMPARE(face.pixel(38, 29), qRgb(255, 0, 128));
    QCOMPARE(face.pixel(29, 20), qRgb(255, 0, 128));
    QVERIFY(face.pixel(28, 20) != qRgb(255, 0, 128));
    QVERIFY(face.pixel(29, 40) != qRgb(255, 0, 128));
}

void TestMainWindow::menuEntries_data()
{
    // What choosing an entry twice does: the pages opened and the windows
    // shown, or "quit" for the end of the event loop.
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("trayMenu");
    QTest::addColumn<QString>("effect");

    // Without an address given to the build, every page is the help page.
    const QString home = shippedHelpPage(), help = home;
    QTest::addRow("Quitter") << "Quitter" << false << "quit";
    QTest::addRow("Quitter in the tray menu") << "Quitter" << true << "quit";
    QTest::addRow("Aide en ligne") << "Aide en ligne" << false << home + ' ' + home;
    QTest::addRow("Aidez-nous") << "Aidez-nous" << false << help + ' ' + help;
    QTest::addRow("Télécharger... in Plugins") << "Télécharger..." << false << home + ' ' + home;
    QTest::addRow("A propos...") << "A propos..." << false << "AboutDialog";
    QTest::addRow("Alarme") << "Alarme" << false << "FenetreAlarmes";
    QTest::addRow("Alarme in the tray menu's Outils") << "Alarme" << true << "FenetreAlarmes";
    QTest::addRow("Chronomètre") << "Chronomètre" << false << "FenetreChronometres";
    QTest::addRow("Compte à rebours") << "Compte à rebours" << false << "FenetreComptesARebours";
    QTest::addRow("Temps écoulé") << "Temps écoulé" << false << "FenetreTempsEcoules";
}

void TestMainWindow::menuEntries()
{
    QFETCH(QString, entry);
    QFETCH(bool, trayMenu);
    QFETCH(QString, effect);
    QAction* action =
        findEntry(trayMenu ? g_trayIcon->contextMenu()->actions() : m_window->menuBar()->actions(), entry);
    QVERIFY(action);

    if (effect == QLatin1String("quit")) {
        QObject guard;
        QTimer::singleShot(0, action, &QAction::trigger);
        QTimer::singleShot(5000, &guard, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        return;
    }
    UrlRecorder browser({QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")});
    action->trigger();
    action->trigger();
    QStringList seen;
    for (const QUrl& url : browser.opened)
        seen << url.toString();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            seen << window->metaObject()->className();
        // Every tool window takes the main window's look.
        QVERIFY(!qobject_cast<ToolWindow*>(window) || window->windowFlags() == m_window->windowFlags());
    }
    QCOMPARE(seen.join(' '), effect);
}

void TestMainWindow::bellFollowsTheArmedAlarmsAtTheNextTick()
{
    m_window.reset();
    QVERIFY(m_day->conf.write("[alarm]\n1\\h=7\n1\\m=30\n1\\active=true\n1\\title=Lever\nsize=1\n"));
    m_window = std::make_unique<FenetrePrincipale>();
    const QLabel* bell = m_window->findChild<QLabel*>("m_cloche");
    QVERIFY(!bell->isHidden());

    // The pages come once the window is drawn, well before the fallback.
    m_window->show();
    const auto* alarms = m_window->findChild<FenetreAlarmes*>();
    QTRY_VERIFY_WITH_TIMEOUT(alarms->findChild<QRadioButton*>(), 500);
    QWidget* page = toolTabs(*m_window->findChild<FenetreAlarmes*>())->widget(0);
    page->findChild<QRadioButton*>("m_radio_active_non")->click();
    QVERIFY(!bell->isHidden());
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(14, 7, 10)));
    QVERIFY(bell->isHidden());
}

void TestMainWindow::tooltipsTellWhatComesNext_data()
{
    // Alarms (h, m, armed, title), countdowns (seconds from now, title), the
    // countdowns' format, the bell's tooltip and the tray's at 14:07:09, its
    // lines joined with '|'.
    QTest::addColumn<Alarms>("alarms");
    QTest::addColumn<Countdowns>("countdowns");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("bell");
    QTest::addColumn<QString>("toolTip");

    const QString date = "Samedi 05 Décembre 2026 - 14:07";
    QTest::addRow("nothing to come") << Alarms{{21, 5, false, "Soir"}} << Countdowns{{-5, "Fini"}} << 0 << ""
                                     << date;
    QTest::addRow("the nearest armed alarm tonight, the nearest countdown")
        << Alarms{{6, 45, true, "Lever"}, {21, 5, true, "Soir"}, {15, 0, false, "Non"}}
        << Countdowns{{7200, "Film"}, {252, "Pâtes"}, {-1, "Fini"}} << 0 << "Prochaine alarme : 21:05 Soir"
        << date + "|Prochaine alarme : 21:05 Soir|Pâtes : 0j 00:04:12";
    QTest::addRow("this minute's alarm and earlier ones ring tomorrow; the chosen format")
        << Alarms{{14, 7, true, "Pile"}, {6, 45, true, "Lever"}} << Countdowns{{90000, "Demain"}} << 1
        << "Prochaine alarme : demain 06:45 Lever"
        << date + "|Prochaine alarme : demain 06:45 Lever|Demain : 25:00:00";
}

void TestMainWindow::tooltipsTellWhatComesNext()
{
    QFETCH(Alarms, alarms);
    QFETCH(Countdowns, countdowns);
    QFETCH(int, format);
    auto* alarmWindow = m_window->findChild<FenetreAlarmes*>();
    for (const auto& [h, m, armed, title] : alarms)
        alarmWindow->newAlarm(Alarme{h, m, armed, title, {}, false, {}});
    auto* countdownWindow = m_window->findChild<FenetreComptesARebours*>();
    const QDateTime now = Clock::instance().currentDateTime();
    for (const auto& [seconds, title] : countdowns)
        countdownWindow->newTimer(CompteARebours{now.addSecs(seconds), title, {}, false, {}});
    countdownWindow->findChild<QComboBox*>()->setCurrentIndex(format);

    m_window->update_horloge();
    QTEST(m_window->findChild<QLabel*>("m_cloche")->toolTip(), "bell");
    QTEST(g_trayIcon->toolTip().replace('\n', '|'), "toolTip");
}

void TestMainWindow::hourlyChimeAndShake_data()
{
    QTest::addColumn<bool>("shake");
    QTest::addColumn<int>("intensity");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<QSet<int>>("offsets");

    QTest::addRow("no shake when it is off") << false << 4 << 200 << QSet<int>{};
    QTest::addRow("intensity 0 moves exactly 1 px") << true << 0 << 3 << QSet<int>{1};
    QTest::addRow("negative intensity counts as 0") << true << -7 << 2 << QSet<int>{1};
    QTest::addRow("intensity 4 moves 1 to 5 px") << true << 4 << 200 << QSet<int>{1, 2, 3, 4, 5};
    QSet<int> upTo21;
    for (int px = 1; px <= 21; ++px)
        upTo21 << px;
    QTest::addRow("hand-edited huge values held to 20 and 5000 rounds")
        << true << INT_MAX << INT_MAX << upTo21;
}

void TestMainWindow::hourlyChimeAndShake()
{
    QFETCH(bool, shake);
    QFETCH(int, intensity);
    QFETCH(int, rounds);
    QFETCH(QSet<int>, offsets);
    // What is heard is checked on the desktop; here there is no sound output.
    Configuration& c = g_configuration;
    std::tie(c.sonnerie_type, c.sonnerie_son) = std::tuple(2, QFINDTESTDATA("../resources/ding.wav"));
    std::tie(c.vibration_active, c.vibration_intensite, c.vibration_duree) =
        std::tuple(shake, intensity, rounds);
    m_window->move(100, 200);
    m_window->show();
    MoveRecorder recorder(m_window.get());
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(15, 0, 0)));

    // Each round out and back, first to the left and down, then to the right
    // and up, and so on.
    const QList<QPoint>& p = recorder.positions;
    QCOMPARE(p.size(), shake ? 2 * std::min(rounds, 5000) : 0);
    QSet<int> seen;
    for (int i = 0; i + 1 < p.size(); i += 2) {
        const int quarter = i % 4 == 0 ? 1 : -1;
        seen << (100 - p[i].x()) * quarter << (p[i].y() - 200) * quarter;
        QCOMPARE(p[i + 1], QPoint(100, 200));
    }
    QCOMPARE(seen, offsets);
    QCOMPARE(m_window->pos(), QPoint(100, 200));
    // Nothing would ever end a sound without a sound server: no sound object
    // may stay behind waiting for it.
    QTRY_COMPARE(m_window->findChildren<QSoundEffect*>().size(), 0);
}

void TestMainWindow::faceLooksAsItsStyleSheetPaintsIt()
{
    m_window->show();
    QLabel* face = m_window->findChild<QLabel*>("m_horloge");
    // The same label in the same place, painted by its style sheet.
    QWidget around;
    around.setFixedSize(face->size());
    QLabel plain(&around);
    plain.setStyleSheet(face->styleSheet());
    plain.setFrameShape(face->frameShape());
    plain.setScaledContents(true);
    plain.setFixedSize(face->size());
    const Configuration& c = g_configuration;
    plain.setPixmap(drawClockFace(c.horloge_image, configuredHandColour(), c.horloge_pen_size,
                                  c.horloge_aiguille_seconde, 14, 7, 9));
    QCOMPARE(face->grab().toImage().convertToFormat(QImage::Format_RGB32),
             around.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

void TestMainWindow::aTickRepaintsTheFaceAndTheTimeAlone()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    struct PaintRecorder : QObject
    {
        QStringList painted;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                painted << watched->objectName();
            return false;
        }
    } recorder;
    QTest::qWait(50);
    qApp->installEventFilter(&recorder);
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(14, 7, 10)));
    QTRY_VERIFY(!recorder.painted.isEmpty());
    QTest::qWait(50);
    recorder.painted.sort();
    QCOMPARE(recorder.painted, QStringList({"m_heure", "m_horloge"}));

    // The time filling its own background looks as it would without.
    auto* time = m_window->findChild<QLabel*>("m_heure");
    const QImage shown = m_window->grab().toImage();
    time->setAutoFillBackground(!time->autoFillBackground());
    QCOMPARE(m_window->grab().toImage(), shown);
}

QTEST_MAIN(TestMainWindow)
#include "testmainwindow.moc"
