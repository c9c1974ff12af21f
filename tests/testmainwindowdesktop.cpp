// The main window on the real X desktop of scripts/desktop-session: input
// comes as real X events, and what the window manager made of the window is
// read back from X.

#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "app/globals.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/audioanalysis.h"
#include "support/audiocapture.h"
#include "support/temporaryconfiguration.h"
#include "support/xdesktop.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

namespace {

constexpr int kWmTimeoutMs = 5000;

// The window manager has framed the window, or shown it frameless, and the
// window knows where it stands.
bool settled(QWidget* window, bool framed)
{
    const QList<int> extents = xdesktop::frameExtents(window->winId());
    return window->isVisible() && !extents.isEmpty() && (extents[2] > 0) == framed
        && xdesktop::absolutePosition(window->winId()) == window->mapToGlobal(QPoint(0, 0));
}

} // namespace

class TestMainWindowDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void dragFollowsTheLeftButtonOnly_data();
    void dragFollowsTheLeftButtonOnly();
    void wheelChangesOpacityWithinBounds();
    void doubleClickSwitchesFramedAndFrameless();
    void stayOnTopShowsInTheWindowManagerState_data();
    void stayOnTopShowsInTheWindowManagerState();
    void closingTheWindowLeavesTheProgramRunning();
    void trayClickShowsTheWindow_data();
    void trayClickShowsTheWindow();
    void hourlyChimeIsHeard_data();
    void hourlyChimeIsHeard();

private:
    void start(const QByteArray& settings = {});
    QPoint grabPoint() const;
    void toggleFrame(bool framed);

    std::unique_ptr<TemporaryConfiguration> m_conf;
    std::unique_ptr<ApplicationLifetime> m_lifetime;
    FenetrePrincipale* m_window = nullptr;
};

void TestMainWindowDesktop::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("CLEPSA_DESKTOP_SESSION"), "run under scripts/desktop-session");
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
}

void TestMainWindowDesktop::start(const QByteArray& settings)
{
    m_conf = std::make_unique<TemporaryConfiguration>();
    m_conf->write("[General]\npremier_demarrage=false\n" + settings);
    m_lifetime = std::make_unique<ApplicationLifetime>(*qApp);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* fenetre = qobject_cast<FenetrePrincipale*>(w))
            m_window = fenetre;
    }
    QVERIFY(m_window);
    QTRY_VERIFY_WITH_TIMEOUT(settled(m_window, true), kWmTimeoutMs);
}

void TestMainWindowDesktop::cleanup()
{
    xdesktop::releaseButton(1);
    xdesktop::releaseButton(3);
    m_lifetime.reset();
    m_window = nullptr;
    m_conf.reset();
}

// A point on the digital time: labels pass the mouse on to the window.
QPoint TestMainWindowDesktop::grabPoint() const
{
    const auto* heure = m_window->findChild<QLabel*>("m_heure");
    return heure->mapToGlobal(heure->rect().center());
}

void TestMainWindowDesktop::toggleFrame(bool framed)
{
    QVERIFY(xdesktop::moveMouse(grabPoint()));
    QVERIFY(xdesktop::click(1, 2));
    QTRY_VERIFY_WITH_TIMEOUT(settled(m_window, framed), kWmTimeoutMs);
}

void TestMainWindowDesktop::dragFollowsTheLeftButtonOnly_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("moved");
    QTest::addRow("left button drags") << 1 << QPoint(60, 42);
    QTest::addRow("right button does not") << 3 << QPoint(0, 0);
}

void TestMainWindowDesktop::dragFollowsTheLeftButtonOnly()
{
    QFETCH(int, button);
    QFETCH(QPoint, moved);
    start();

    const WId id = m_window->winId();
    const QPoint before = xdesktop::absolutePosition(id), from = grabPoint();
    QVERIFY(xdesktop::moveMouse(from));
    QVERIFY(xdesktop::pressButton(button));
    QTest::qWait(100);
    // The first pixel moves the window by one: no jump to put its corner
    // under the cursor.
    QVERIFY(xdesktop::moveMouse(from + QPoint(1, 1)));
    if (button == 1)
        QTRY_COMPARE_WITH_TIMEOUT(xdesktop::absolutePosition(id), before + QPoint(1, 1), kWmTimeoutMs);
    QVERIFY(xdesktop::moveMouse(from + QPoint(60, 42)));
    QTest::qWait(100);
    QVERIFY(xdesktop::releaseButton(button));
    xdesktop::pressKey(QStringLiteral("Escape")); // the context menu of the right button

    QTRY_COMPARE_WITH_TIMEOUT(xdesktop::absolutePosition(id), before + moved, kWmTimeoutMs);
    QTest::qWait(300);
    QCOMPARE(xdesktop::absolutePosition(id), before + moved);
}

void TestMainWindowDesktop::wheelChangesOpacityWithinBounds()
{
    start();
    QVERIFY(xdesktop::moveMouse(grabPoint()));
    // Eighteen steps of 0.05 reach 0.1; more change nothing.
    QVERIFY(xdesktop::click(5, 30, 20));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->windowOpacity() <= 0.1 + 1e-9, kWmTimeoutMs);
    QTest::qWait(300);
    QVERIFY2(m_window->windowOpacity() > 0.04, qPrintable(QString::number(m_window->windowOpacity())));

    QVERIFY(xdesktop::click(4, 30, 20));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowOpacity(), 1.0, kWmTimeoutMs);
}

void TestMainWindowDesktop::doubleClickSwitchesFramedAndFrameless()
{
    start();
    toggleFrame(false);
    QCOMPARE(xdesktop::frameExtents(m_window->winId()), (QList<int>{0, 0, 0, 0}));
    toggleFrame(true);
}

void TestMainWindowDesktop::stayOnTopShowsInTheWindowManagerState_data()
{
    QTest::addColumn<bool>("onTop");
    QTest::addColumn<bool>("frameless");
    QTest::addRow("on top, framed") << true << false;
    QTest::addRow("on top, frameless") << true << true;
    QTest::addRow("not on top, framed") << false << false;
    QTest::addRow("not on top, frameless") << false << true;
}

void TestMainWindowDesktop::stayOnTopShowsInTheWindowManagerState()
{
    QFETCH(bool, onTop);
    QFETCH(bool, frameless);
    start(onTop ? "[demarrage]\nonTop=true\n" : "[demarrage]\nonTop=false\n");
    if (frameless)
        toggleFrame(false);
    const auto above = [this] {
        return xdesktop::netWmState(m_window->winId()).contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
    };
    QTRY_COMPARE_WITH_TIMEOUT(above(), onTop, kWmTimeoutMs);
    QTest::qWait(200);
    QCOMPARE(above(), onTop);
}

void TestMainWindowDesktop::closingTheWindowLeavesTheProgramRunning()
{
    start();
    QTimer::singleShot(0, qApp, [this] { xdesktop::closeThroughWindowManager(m_window->winId()); });
    QTimer::singleShot(2000, qApp, [] { QCoreApplication::exit(42); });
    // Ending with 0 would mean closing the last window quit the program.
    QCOMPARE(QCoreApplication::exec(), 42);
    QVERIFY(!m_window->isVisible());
}

void TestMainWindowDesktop::trayClickShowsTheWindow_data()
{
    QTest::addColumn<int>("button");
    QTest::addRow("left click") << 1;
    QTest::addRow("right click, with the menu") << 3;
}

void TestMainWindowDesktop::trayClickShowsTheWindow()
{
    QFETCH(int, button);
    start();
    m_window->hide();
    QTRY_VERIFY_WITH_TIMEOUT(!xdesktop::isViewable(m_window->winId()), kWmTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(g_trayIcon->geometry().isValid(), kWmTimeoutMs);
    QVERIFY(xdesktop::moveMouse(g_trayIcon->geometry().center()));
    QVERIFY(xdesktop::click(button));
    QTRY_VERIFY_WITH_TIMEOUT(xdesktop::isViewable(m_window->winId()), kWmTimeoutMs);
    if (button == 3) {
        // Showing the window does not close the menu the click opened.
        QTRY_VERIFY_WITH_TIMEOUT(g_trayIcon->contextMenu()->isVisible(), kWmTimeoutMs);
        QTest::qWait(300);
        QVERIFY(g_trayIcon->contextMenu()->isVisible());
        QVERIFY(xdesktop::pressKey(QStringLiteral("Escape")));
    }
}

void TestMainWindowDesktop::hourlyChimeIsHeard_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<int>("heardMs");

    const QString ding = QFINDTESTDATA("../resources/ding.wav");
    QTest::addRow("type 0 is silent") << 0 << ding << 0;
    QTest::addRow("type 1 beeps") << 1 << ding << 200;
    QTest::addRow("type 2 plays the whole WAV") << 2 << ding << 1172;
    QTest::addRow("type 3 is silent") << 3 << ding << 0;
    QTest::addRow("missing WAV") << 2 << QStringLiteral("/nonexistent/ding.wav") << 0;
    QTest::addRow("not a WAV") << 2 << QFINDTESTDATA("../resources/Clock.png") << 0;
}

void TestMainWindowDesktop::hourlyChimeIsHeard()
{
    QFETCH(int, type);
    QFETCH(QString, sound);
    QFETCH(int, heardMs);
    start();
    g_configuration.sonnerie_type = type;
    g_configuration.sonnerie_son = sound;
    g_configuration.sonnerie_bip_frequence = 440;
    g_configuration.sonnerie_bip_duree = 200;

    AudioCapture capture;
    QVERIFY2(capture.start(), qPrintable(capture.errorString()));
    m_window->nouvelle_heure();
    // The sound object goes once the sound is over, or cannot be played.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->findChildren<QSoundEffect*>().size(), 0, 10000);
    const double heard = audio::loudSpan(capture.stop(), 1000).milliseconds(AudioCapture::sampleRate);
    QVERIFY2(std::abs(heard - heardMs) < 60, qPrintable(QString::number(heard)));
}

QTEST_MAIN(TestMainWindowDesktop)
#include "testmainwindowdesktop.moc"
