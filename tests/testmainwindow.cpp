#include "app/configuration.h"
#include "app/globals.h"
#include "mainwindow/cachedglyphs.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/moverecorder.h"
#include "support/testday.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/toolwindow.h"

#include <QSoundEffect>
#include <QtTest>
#include <QtWidgets>

#include <optional>
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
    void aTickRepaintsTheFaceAtTheMinuteAndTheTimeAlone();
    void menuEntriesOpenPagesAndWindows();
    void whatComesNext_data();
    void whatComesNext();
    void hourlyChimeAndShake_data();
    void hourlyChimeAndShake();

private:
    QString text(const char* label) const { return m_window->findChild<QLabel*>(label)->text(); }

    std::optional<TestDay> m_day;
    std::optional<FenetrePrincipale> m_window;
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
    m_day.emplace(QStringLiteral("14:07:09.000"));
    m_window.emplace();
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    m_day.reset();
}

void TestMainWindow::showsTheDateAndTimeOfTheTick()
{
    m_day->tick("23:59:59.900");
    QCOMPARE(text("m_date") + ' ' + text("m_heure"), "Samedi 05 Décembre 2026 23:59:59");
    // Redrawn after midnight has come but before it was ticked, the window
    // still shows the tick's date with the tick's time.
    m_day->clock.setCurrentDateTime(onTestDay("+00:00:00.200"));
    m_window->update_horloge();
    QCOMPARE(text("m_date") + ' ' + text("m_heure"), "Samedi 05 Décembre 2026 23:59:59");
    m_day->tick("+00:00:00.200");
    QCOMPARE(text("m_date") + ' ' + text("m_heure"), "Dimanche 06 Décembre 2026 00:00:00");
    // The tray menu's title, as its menu opens.
    emit g_trayIcon->contextMenu()->aboutToShow();
    QCOMPARE(g_trayIcon->contextMenu()->actions().first()->text(), "Rivozur - 00:00:00");
}

void TestMainWindow::aTickRepaintsTheFaceAtTheMinuteAndTheTimeAlone()
{
    // Out of range, as in a hand-edited file: no complaint at every tick.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QColor|QPen")));
    Configuration& c = g_configuration;
    std::tie(c.horloge_pen_r, c.horloge_pen_v, c.horloge_pen_b, c.horloge_pen_size) =
        std::tuple(300, -4, 128, -3);
    c.horloge_aiguille_seconde = false;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*m_window));
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
    auto* face = m_window->findChild<QLabel*>("m_horloge");
    const QImage at14_07 = face->grab().toImage();
    qApp->installEventFilter(&recorder);
    m_day->tick("14:08:00.000");
    QTRY_VERIFY(!recorder.painted.isEmpty());
    QTest::qWait(50);
    recorder.painted.sort();
    QCOMPARE(recorder.painted, QStringList({"m_heure", "m_horloge"}));
    QVERIFY(face->grab().toImage() != at14_07);
    // Without the second hand, the face stays as it is until the next minute.
    recorder.painted.clear();
    m_day->tick("14:08:01.000");
    QTRY_VERIFY(!recorder.painted.isEmpty());
    QTest::qWait(50);
    QCOMPARE(recorder.painted, QStringList({"m_heure"}));

    // The time filling its own background looks as it would without.
    auto* time = m_window->findChild<QLabel*>("m_heure");
    const QImage window = m_window->grab().toImage();
    time->setAutoFillBackground(!time->autoFillBackground());
    QCOMPARE(m_window->grab().toImage(), window);

    // Painted from glyphs looked up once, the time looks as the label paints
    // it, whatever the digits; another font is checked again first.
    auto* glyphs = time->findChild<CachedGlyphs*>();
    time->setFont(QFont(time->font().family(), 11));
    QVERIFY(!glyphs->paintsGlyphs());
    QTRY_VERIFY(glyphs->paintsGlyphs());
    for (const char* shown : {"--:--", "67:89:01"}) {
        time->setText(shown);
        const QImage painted = time->grab().toImage();
        time->removeEventFilter(glyphs);
        QCOMPARE(painted, time->grab().toImage());
        time->installEventFilter(glyphs);
    }
}

void TestMainWindow::menuEntriesOpenPagesAndWindows()
{
    // Each chosen twice: a page opens each time, a window once. Quitting and
    // the menu bar's tools are chosen on the desktop, by the end-to-end and
    // accessibility stories.
    const auto chooseTwice = [](const QList<QAction*>& actions, const char* text) {
        QAction* action = findEntry(actions, text);
        QVERIFY2(action, text);
        action->trigger();
        action->trigger();
    };
    for (const char* entry : {"Aide en ligne", "Aidez-nous", "A propos..."})
        chooseTwice(m_window->menuBar()->actions(), entry);
    chooseTwice(g_trayIcon->contextMenu()->actions(), "Alarme");
    QStringList seen;
    for (const QUrl& url : m_day->files.opened)
        seen << url.toString();
    QStringList windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            windows << window->metaObject()->className();
        // Every tool window takes the main window's look.
        QVERIFY(!qobject_cast<ToolWindow*>(window) || window->windowFlags() == m_window->windowFlags());
    }
    windows.sort();
    // Without an address given to the build, every page is the help page.
    QCOMPARE((seen + windows).join(' '),
             QStringList(4, shippedHelpPage()).join(' ') + " AboutDialog FenetreAlarmes");
}

void TestMainWindow::whatComesNext_data()
{
    // Alarms (h, m, armed, title) and countdowns (seconds from now, title)
    // made at 14:07:09, the countdowns' format, the bell's tooltip ("": the
    // bell is hidden) and the tray's, its lines joined with '|'.
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
    QTest::addRow("this minute's alarm and earlier ones ring tomorrow, midnight too; the chosen format")
        << Alarms{{14, 7, true, "Pile"}, {6, 45, true, "Lever"}, {0, 0, true, "Minuit"}}
        << Countdowns{{90000, "Demain"}} << 1 << "Prochaine alarme : demain 00:00 Minuit"
        << date + "|Prochaine alarme : demain 00:00 Minuit|Demain : 25:00:00";
}

void TestMainWindow::whatComesNext()
{
    QFETCH(Alarms, alarms);
    QFETCH(Countdowns, countdowns);
    QFETCH(int, format);
    QFETCH(QString, bell);
    auto* alarmWindow = m_window->findChild<FenetreAlarmes*>();
    for (const auto& [h, m, armed, title] : alarms)
        alarmWindow->newAlarm(Alarme{h, m, armed, title, {}, false, {}});
    auto* countdownWindow = m_window->findChild<FenetreComptesARebours*>();
    const QDateTime now = m_day->clock.currentDateTime();
    for (const auto& [seconds, title] : countdowns)
        countdownWindow->newTimer(CompteARebours{now.addSecs(seconds), title, {}, false, {}});
    countdownWindow->findChild<QComboBox*>()->setCurrentIndex(format);

    m_window->update_horloge();
    const QLabel* bellLabel = m_window->findChild<QLabel*>("m_cloche");
    QCOMPARE(bellLabel->isHidden(), bell.isEmpty());
    QCOMPARE(bellLabel->toolTip(), bell);
    QTEST(g_trayIcon->toolTip().replace('\n', '|'), "toolTip");
}

void TestMainWindow::hourlyChimeAndShake_data()
{
    // Each round moves out by 1 to `largest` pixels each way, and back.
    QTest::addColumn<bool>("shake");
    QTest::addColumn<int>("intensity");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<int>("largest");

    QTest::addRow("no shake when it is off") << false << 4 << 200 << 0;
    QTest::addRow("0 rounds move nothing") << true << 4 << 0 << 0;
    QTest::addRow("intensity 0 moves exactly 1 px") << true << 0 << 3 << 1;
    QTest::addRow("intensity 4 moves 1 to 5 px") << true << 4 << 200 << 5;
    QTest::addRow("hand-edited huge values held to 20 and 5000 rounds") << true << INT_MAX << INT_MAX << 21;
}

void TestMainWindow::hourlyChimeAndShake()
{
    QFETCH(bool, shake);
    QFETCH(int, intensity);
    QFETCH(int, rounds);
    QFETCH(int, largest);
    // What is heard is checked on the desktop; here there is no sound output.
    Configuration& c = g_configuration;
    std::tie(c.sonnerie_type, c.sonnerie_son) = std::tuple(2, QFINDTESTDATA("../resources/ding.wav"));
    std::tie(c.vibration_active, c.vibration_intensite, c.vibration_duree) =
        std::tuple(shake, intensity, rounds);
    m_window->move(100, 200);
    m_window->show();
    MoveRecorder recorder(&*m_window);
    // A new minute that is no new hour marks nothing.
    m_day->tick("14:59:00.000");
    m_day->tick("15:00:00.000");

    // Each round out and back, first to the left and down, then to the right
    // and up, and so on.
    const QList<QPoint>& p = recorder.positions;
    QCOMPARE(p.size(), largest ? 2 * std::min(rounds, 5000) : 0);
    QSet<int> seen, expected;
    for (int i = 0; i + 1 < p.size(); i += 2) {
        const int quarter = i % 4 == 0 ? 1 : -1;
        seen << (100 - p[i].x()) * quarter << (p[i].y() - 200) * quarter;
        QCOMPARE(p[i + 1], QPoint(100, 200));
    }
    for (int px = 1; px <= largest; ++px)
        expected << px;
    QCOMPARE(seen, expected);
    QCOMPARE(m_window->pos(), QPoint(100, 200));
    // Nothing would ever end a sound without a sound server: no sound object
    // may stay behind waiting for it.
    QTRY_COMPARE(m_window->findChildren<QSoundEffect*>().size(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "testmainwindow.moc"
