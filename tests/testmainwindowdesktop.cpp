// The main window on a real X display with a window manager, a tray host and
// a sound server (scripts/desktop-session): input comes as real X events and
// what the window manager made of the window is read back from X.

#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "app/globals.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/audioanalysis.h"
#include "support/audiocapture.h"
#include "support/temporaryconfiguration.h"
#include "support/xdesktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr int kWmTimeoutMs = 5000;

// The window manager has framed the window, or shown it frameless, and the
// window knows where it stands.
bool settled(QWidget* window, bool framed)
{
    if (!window->isVisible())
        return false;
    const QList<int> extents = xdesktop::frameExtents(window->winId());
    if (extents.isEmpty() || (extents[2] > 0) != framed)
        return false;
    return xdesktop::absolutePosition(window->winId()) == window->mapToGlobal(QPoint(0, 0));
}

// Samples of a 16-bit mono PCM WAV file with a plain 44-byte header.
QVector<qint16> wavSamples(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return audio::fromPcm16(file.readAll().mid(44));
}

} // namespace

class TestMainWindowDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dragFollowsTheLeftButtonOnly_data();
    void dragFollowsTheLeftButtonOnly();
    void wheelChangesOpacityWithinBounds();
    void doubleClickSwitchesFramedAndFrameless_data();
    void doubleClickSwitchesFramedAndFrameless();
    void stayOnTopShowsInTheWindowManagerState_data();
    void stayOnTopShowsInTheWindowManagerState();
    void closingTheWindowLeavesTheProgramRunning();
    void trayClickShowsTheWindow_data();
    void trayClickShowsTheWindow();
    void wavChimePlaysToItsEndThenGoes();
    void unplayableChimeGoesAtOnce_data();
    void unplayableChimeGoesAtOnce();
    void looksLikeAFinishedClock();

private:
    void start();
    QPoint grabPoint() const;

    std::unique_ptr<TemporaryConfiguration> m_conf;
    std::unique_ptr<ApplicationLifetime> m_lifetime;
    FenetrePrincipale* m_window = nullptr;
};

void TestMainWindowDesktop::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("CLEPSA_DESKTOP_SESSION"), "run under scripts/desktop-session");
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
}

void TestMainWindowDesktop::init()
{
    m_conf = std::make_unique<TemporaryConfiguration>();
    m_conf->write("[General]\npremier_demarrage=false\n");
}

void TestMainWindowDesktop::start()
{
    m_lifetime = std::make_unique<ApplicationLifetime>(*qApp);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* fenetre = qobject_cast<FenetrePrincipale*>(w))
            m_window = fenetre;
    }
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
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

void TestMainWindowDesktop::dragFollowsTheLeftButtonOnly_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("moves");
    QTest::addRow("left button drags") << 1 << true;
    QTest::addRow("right button does not") << 3 << false;
}

void TestMainWindowDesktop::dragFollowsTheLeftButtonOnly()
{
    QFETCH(int, button);
    QFETCH(bool, moves);
    start();

    const WId id = m_window->winId();
    const QPoint before = xdesktop::absolutePosition(id);
    const QPoint from = grabPoint();
    QVERIFY(xdesktop::moveMouse(from));
    QVERIFY(xdesktop::pressButton(button));
    QTest::qWait(100);

    // The first pixel of movement moves the window by one pixel: no jump to
    // put the corner under the cursor.
    QVERIFY(xdesktop::moveMouse(from + QPoint(1, 1)));
    if (moves)
        QTRY_COMPARE_WITH_TIMEOUT(xdesktop::absolutePosition(id), before + QPoint(1, 1), kWmTimeoutMs);

    for (int step = 1; step <= 6; ++step) {
        QVERIFY(xdesktop::moveMouse(from + QPoint(10 * step, 7 * step)));
        QTest::qWait(30);
    }
    QVERIFY(xdesktop::releaseButton(button));
    if (button == 3)
        xdesktop::pressKey(QStringLiteral("Escape"));

    const QPoint expected = moves ? before + QPoint(60, 42) : before;
    QTRY_COMPARE_WITH_TIMEOUT(xdesktop::absolutePosition(id), expected, kWmTimeoutMs);
    QTest::qWait(300);
    QCOMPARE(xdesktop::absolutePosition(id), expected);
}

void TestMainWindowDesktop::wheelChangesOpacityWithinBounds()
{
    start();
    QVERIFY(xdesktop::moveMouse(grabPoint()));
    const auto xOpacity = [this] {
        return xdesktop::property(m_window->winId(), QStringLiteral("_NET_WM_WINDOW_OPACITY")).toDouble()
            / 4294967295.0;
    };

    // Eighteen steps of 0.05 reach 0.1; the rest must change nothing.
    QVERIFY(xdesktop::click(5, 30, 20));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->windowOpacity() <= 0.1 + 1e-9, kWmTimeoutMs);
    QTest::qWait(300);
    const double lowest = m_window->windowOpacity();
    QVERIFY2(lowest > 0.04, qPrintable(QString::number(lowest)));
    QVERIFY(xdesktop::click(5, 5, 20));
    QTest::qWait(300);
    QCOMPARE(m_window->windowOpacity(), lowest);
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(xOpacity() - lowest) < 0.01, kWmTimeoutMs);

    QVERIFY(xdesktop::click(4, 30, 20));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowOpacity(), 1.0, kWmTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(std::abs(xOpacity() - 1.0) < 1e-6, kWmTimeoutMs);
}

void TestMainWindowDesktop::doubleClickSwitchesFramedAndFrameless_data()
{
    QTest::addColumn<int>("button");
    QTest::addRow("left button") << 1;
    QTest::addRow("right button") << 3;
}

void TestMainWindowDesktop::doubleClickSwitchesFramedAndFrameless()
{
    QFETCH(int, button);
    start();

    QVERIFY(xdesktop::moveMouse(grabPoint()));
    QVERIFY(xdesktop::click(button, 2));
    QTRY_VERIFY_WITH_TIMEOUT(settled(m_window, false), kWmTimeoutMs);
    QCOMPARE(xdesktop::frameExtents(m_window->winId()), (QList<int>{0, 0, 0, 0}));
    // No decorations asked of the window manager.
    QCOMPARE(xdesktop::property(m_window->winId(), QStringLiteral("_MOTIF_WM_HINTS")).section(", ", 2, 2),
             QStringLiteral("0x0"));
    if (button == 3)
        xdesktop::pressKey(QStringLiteral("Escape"));

    QVERIFY(xdesktop::moveMouse(grabPoint()));
    QVERIFY(xdesktop::click(button, 2));
    QTRY_VERIFY_WITH_TIMEOUT(settled(m_window, true), kWmTimeoutMs);
    QVERIFY(xdesktop::frameExtents(m_window->winId())[2] > 0);
    if (button == 3)
        xdesktop::pressKey(QStringLiteral("Escape"));
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
    m_conf->write(QByteArray("[General]\npremier_demarrage=false\n[demarrage]\nonTop=")
                  + (onTop ? "true" : "false") + "\n");
    start();

    if (frameless) {
        QVERIFY(xdesktop::moveMouse(grabPoint()));
        QVERIFY(xdesktop::click(1, 2));
        QTRY_VERIFY_WITH_TIMEOUT(settled(m_window, false), kWmTimeoutMs);
    }
    const auto above = [this] {
        return xdesktop::netWmState(m_window->winId()).contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
    };
    if (onTop)
        QTRY_VERIFY_WITH_TIMEOUT(above(), kWmTimeoutMs);
    QTest::qWait(200);
    QCOMPARE(above(), onTop);
}

void TestMainWindowDesktop::closingTheWindowLeavesTheProgramRunning()
{
    start();
    const WId id = m_window->winId();
    bool hidden = false;
    QTimer::singleShot(0, qApp, [id] { xdesktop::closeThroughWindowManager(id); });
    QTimer::singleShot(2000, qApp, [&] {
        hidden = !m_window->isVisible();
        QCoreApplication::exit(42);
    });
    // The loop would end with 0 if closing the last window quit the program.
    QCOMPARE(QCoreApplication::exec(), 42);
    QVERIFY(hidden);
    QVERIFY(g_trayIcon->isVisible());
}

void TestMainWindowDesktop::trayClickShowsTheWindow_data()
{
    QTest::addColumn<int>("button");
    QTest::addRow("left click") << 1;
    QTest::addRow("middle click") << 2;
    QTest::addRow("right click, with the menu") << 3;
}

void TestMainWindowDesktop::trayClickShowsTheWindow()
{
    QFETCH(int, button);
    start();
    m_window->hide();
    QTRY_VERIFY(!m_window->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(g_trayIcon->geometry().isValid(), kWmTimeoutMs);
    QVERIFY(xdesktop::moveMouse(g_trayIcon->geometry().center()));
    QVERIFY(xdesktop::click(button));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isVisible(), kWmTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(xdesktop::isViewable(m_window->winId()), kWmTimeoutMs);
    if (button == 3) {
        // The menu opens as well, and showing the window does not close it.
        QTRY_VERIFY_WITH_TIMEOUT(g_trayIcon->contextMenu()->isVisible(), kWmTimeoutMs);
        QTest::qWait(300);
        QVERIFY(g_trayIcon->contextMenu()->isVisible());
        QVERIFY(xdesktop::pressKey(QStringLiteral("Escape")));
        QTRY_VERIFY(!g_trayIcon->contextMenu()->isVisible());
    }
}

void TestMainWindowDesktop::wavChimePlaysToItsEndThenGoes()
{
    start();
    const QString ding = QFINDTESTDATA("../resources/ding.wav");
    const audio::Span inFile = audio::loudSpan(wavSamples(ding), 1000);
    QVERIFY(!inFile.isEmpty());

    g_configuration.sonnerie_type = 2;
    g_configuration.sonnerie_son = ding;
    AudioCapture capture;
    QVERIFY2(capture.start(), qPrintable(capture.errorString()));
    QElapsedTimer playing;
    playing.start();
    m_window->nouvelle_heure();

    QCOMPARE(m_window->findChildren<QSoundEffect*>().size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->findChildren<QSoundEffect*>().size(), 0, 10000);
    const qint64 livedMs = playing.elapsed();
    const audio::Span heard = audio::loudSpan(capture.stop(), 1000);

    const double fileMs = inFile.milliseconds(44100);
    const QString what = QStringLiteral("lived %1 ms, heard %2 ms of %3 ms")
                             .arg(livedMs).arg(heard.milliseconds(AudioCapture::sampleRate)).arg(fileMs);
    QVERIFY2(!heard.isEmpty(), qPrintable(what));
    QVERIFY2(std::abs(heard.milliseconds(AudioCapture::sampleRate) - fileMs) < 60, qPrintable(what));
    QVERIFY2(livedMs >= fileMs, qPrintable(what));
}

void TestMainWindowDesktop::unplayableChimeGoesAtOnce_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addRow("missing file") << QByteArray();
    QTest::addRow("not a sound") << QByteArray("RIFF....WAVEnot really");
}

void TestMainWindowDesktop::unplayableChimeGoesAtOnce()
{
    QFETCH(QByteArray, contents);
    start();
    const QString path = m_conf->dirPath() + QStringLiteral("/chime.wav");
    if (!contents.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    g_configuration.sonnerie_type = 2;
    g_configuration.sonnerie_son = path;
    m_window->nouvelle_heure();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->findChildren<QSoundEffect*>().size(), 0, 2000);
}

void TestMainWindowDesktop::looksLikeAFinishedClock()
{
    start();
    m_window->move(40, 40);
    QTRY_VERIFY_WITH_TIMEOUT(settled(m_window, true), kWmTimeoutMs);
    const QList<int> frame = xdesktop::frameExtents(m_window->winId());
    const QRect client = m_window->geometry();
    const QRect framed = client.adjusted(-frame[0], -frame[2], frame[1], frame[3]);
    const auto grab = [this](const QRect& area) {
        return m_window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    };
    // Pixels of `part` on screen that pass `test`.
    const auto count = [&](const char* part, auto test) {
        const auto* label = m_window->findChild<QLabel*>(part);
        const QImage shot = grab(QRect(label->mapToGlobal(QPoint(0, 0)), label->size()));
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                n += test(QColor(shot.pixel(x, y))) ? 1 : 0;
        return n;
    };
    const auto dark = [](const QColor& c) { return c.lightness() < 80; };
    const auto red = [](const QColor& c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };

    const QString dir = qEnvironmentVariable("CLEPSA_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        grab(framed).save(dir + QStringLiteral("/mainwindow.png"));

    // Bold digits and the date line are drawn; the bell is not there.
    QVERIFY(count("m_heure", dark) > 200);
    QVERIFY(count("m_date", dark) > 100);
    QVERIFY(!m_window->findChild<QLabel*>("m_cloche")->isVisible());

    // Hands drawn in red stand out on the face.
    QCOMPARE(count("m_horloge", red), 0);
    g_configuration.horloge_pen_r = 255;
    g_configuration.horloge_pen_size = 2;
    m_window->update_horloge();
    QTRY_VERIFY_WITH_TIMEOUT(count("m_horloge", red) > 30, kWmTimeoutMs);

    if (!dir.isEmpty()) {
        // The bell is forced on just for the picture: it needs an armed alarm.
        m_window->findChild<QLabel*>("m_cloche")->show();
        QTest::qWait(200);
        grab(framed).save(dir + QStringLiteral("/mainwindow-bell.png"));
    }
}

QTEST_MAIN(TestMainWindowDesktop)
#include "testmainwindowdesktop.moc"
