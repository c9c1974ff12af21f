// The program on the real desktop of scripts/desktop-session: input comes as
// real X events, what the window manager made of the window is read back
// from X, the tray is the session's own, and the sound comes from the sound
// server's sink.

#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "mainwindow/fenetreprincipale.h"
#include "preferences/dialogpreferences.h"
#include "support/audiocapture.h"
#include "support/manualclock.h"
#include "support/moverecorder.h"
#include "support/temporaryconfiguration.h"
#include "support/uidriver.h"
#include "support/xdesktop.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/stopwatches/fenetrechronometres.h"

#include <QSoundEffect>
#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <tuple>

constexpr int kWmTimeoutMs = 5000;

namespace {

// The X window that shows `window` now: a change of look can give the
// window a new one, which QWidget::winId() does not always follow.
WId xid(const QWidget* window)
{
    return window->windowHandle()->winId();
}

// The window manager has framed the window, or shown it frameless, and the
// window knows where it stands, to the logical pixel: X counts in device
// pixels.
bool settled(QWidget* window, bool framed)
{
    const QList<int> extents = xdesktop::frameExtents(xid(window));
    const qreal ratio = window->devicePixelRatio();
    const QPoint gap = xdesktop::absolutePosition(xid(window)) - window->mapToGlobal(QPoint(0, 0)) * ratio;
    return window->isVisible() && !extents.isEmpty() && (extents[2] > 0) == framed
        && std::abs(gap.x()) < ratio && std::abs(gap.y()) < ratio;
}

// What the X screen shows of `area` of `widget`, in device pixels.
QImage onScreen(const QWidget* widget, const QRect& area)
{
    const QPoint at = widget->mapTo(widget->window(), area.topLeft());
    return widget->screen()
        ->grabWindow(xid(widget->window()), at.x(), at.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Where the program last saw the pointer move, from the X server. A window
// sees each move, whether or not a widget then takes it.
class PointerLog : public QObject
{
public:
    PointerLog() { qApp->installEventFilter(this); }
    QPoint lastMove;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched->isWindowType() && event->type() == QEvent::MouseMove)
            lastMove = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        return false;
    }
};

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void theWindowOnTheDesktop();
    void hourlyChimeIsHeard_data();
    void hourlyChimeIsHeard();
    void beepTestPlaysTheEditedToneAlone();
    void hourlyShakeDoesNotWaitForADialog();
    void sharpAtTheScreensDensity_data();
    void sharpAtTheScreensDensity();

private:
    void start(const QByteArray& settings = {});
    QPoint grabPoint() const;
    void drag(int button, QPoint by);
    void toggleFrame(bool framed);
    // Shown, and above others or not, once the window manager has dealt
    // with all that came before.
    void above(QWidget* window, bool expected);
    // Moves the pointer and waits until the program has seen it there: by
    // then it has dealt with everything the X server sent before.
    void movePointerAndWait(QPoint globalPosition);

    std::unique_ptr<TemporaryConfiguration> m_conf;
    std::unique_ptr<ApplicationLifetime> m_lifetime;
    PointerLog m_pointer;
    FenetrePrincipale* m_window = nullptr;
};

void TestDesktop::start(const QByteArray& settings)
{
    m_conf = std::make_unique<TemporaryConfiguration>();
    QVERIFY(m_conf->write("[General]\npremier_demarrage=false\n" + settings));
    m_lifetime =
        std::make_unique<ApplicationLifetime>(*qApp, [] { return std::make_unique<FenetrePrincipale>(); });
    m_window = qobject_cast<FenetrePrincipale*>(m_lifetime->mainWindow());
    QVERIFY(m_window);
    QTRY_VERIFY_WITH_TIMEOUT(settled(m_window, true), kWmTimeoutMs);
}

void TestDesktop::cleanup()
{
    xdesktop::xdotool({"mouseup", "1"});
    xdesktop::xdotool({"mouseup", "3"});
    m_lifetime.reset();
    m_conf.reset();
}

// A point on the digital time: labels pass the mouse on to the window.
QPoint TestDesktop::grabPoint() const
{
    const auto* heure = m_window->findChild<QLabel*>("m_heure");
    return heure->mapToGlobal(heure->rect().center());
}

void TestDesktop::drag(int button, QPoint by)
{
    const WId id = xid(m_window);
    const QPoint before = xdesktop::absolutePosition(id), from = grabPoint();
    QVERIFY(xdesktop::moveMouse(from) && xdesktop::xdotool({"mousedown", QString::number(button)}));
    // The first pixel moves the window by one: no jump to put its corner
    // under the cursor.
    QVERIFY(xdesktop::moveMouse(from + QPoint(1, 1)));
    if (by != QPoint())
        QTRY_COMPARE_WITH_TIMEOUT(xdesktop::absolutePosition(id), before + QPoint(1, 1), kWmTimeoutMs);
    movePointerAndWait(from + QPoint(60, 42));
    QVERIFY(xdesktop::xdotool({"mouseup", QString::number(button)}));
    xdesktop::xdotool({"key", "Escape"}); // the context menu of the right button

    // Moving on without a button moves nothing more.
    movePointerAndWait(xdesktop::absolutePosition(id) + QPoint(5, 5));
    QVERIFY(xdesktop::syncWithWindowManager(id));
    QCOMPARE(xdesktop::absolutePosition(id), before + by);
}

void TestDesktop::toggleFrame(bool framed)
{
    QVERIFY(xdesktop::moveMouse(grabPoint())
            && xdesktop::xdotool({"click", "--repeat", "2", "--delay", "60", "1"}));
    QTRY_VERIFY_WITH_TIMEOUT(settled(m_window, framed), kWmTimeoutMs);
}

void TestDesktop::above(QWidget* window, bool expected)
{
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(xdesktop::syncWithWindowManager(xid(window)));
    // A window shown again asks once more to stay on top when it is exposed
    // (showWithFlags), which the window manager may grant a little later.
    QTRY_VERIFY2_WITH_TIMEOUT(xdesktop::netWmState(xid(window)).contains("_NET_WM_STATE_ABOVE") == expected,
                              window->metaObject()->className(), kWmTimeoutMs);
}

void TestDesktop::movePointerAndWait(QPoint globalPosition)
{
    QVERIFY(xdesktop::moveMouse(globalPosition));
    QTRY_COMPARE_WITH_TIMEOUT(m_pointer.lastMove, globalPosition, kWmTimeoutMs);
}

void TestDesktop::theWindowOnTheDesktop()
{
    start("[demarrage]\nonTop=true\n");
    above(m_window, true);
    // The left button drags the window, the right one does not.
    drag(1, QPoint(60, 42));
    drag(3, QPoint());

    // Eighteen steps of the wheel down reach 0.1; more change nothing.
    QVERIFY(xdesktop::moveMouse(grabPoint())
            && xdesktop::xdotool({"click", "--repeat", "30", "--delay", "20", "5"}));
    movePointerAndWait(grabPoint() + QPoint(1, 0));
    QVERIFY2(m_window->windowOpacity() <= 0.1 + 1e-9 && m_window->windowOpacity() > 0.04,
             qPrintable(QString::number(m_window->windowOpacity())));
    QVERIFY(xdesktop::xdotool({"click", "--repeat", "30", "--delay", "20", "4"}));
    QTRY_COMPARE_WITH_TIMEOUT(m_window->windowOpacity(), 1.0, kWmTimeoutMs);

    // A double click takes the frame away and gives it back; on top all
    // along.
    toggleFrame(false);
    above(m_window, true);
    toggleFrame(true);
    above(m_window, true);

    // Switched off in the preferences: the window and the open tool windows
    // come down at once.
    auto* alarms = m_window->findChild<FenetreAlarmes*>();
    alarms->show();
    above(alarms, true);
    QVERIFY(answerNextDialog([this] { m_window->findChild<QAction*>("actionPreferences")->trigger(); },
                             [](QDialog& preferences) {
                                 preferences.findChild<QCheckBox*>("m_checkbox_onTop")->setChecked(false);
                                 QTest::mouseClick(preferences.findChild<QPushButton*>("bouton_ok"),
                                                   Qt::LeftButton);
                             }));
    above(m_window, false);
    above(alarms, false);
    alarms->hide();

    // Closed, the window goes to the tray and the clock runs on. Had closing
    // the last window quit, the event loop would see that quit before the
    // exit posted once the window is gone, and end with 0. The timers go
    // with `poll`, so none of them can end a later loop.
    QTimer poll;
    connect(&poll, &QTimer::timeout, &poll, [&] {
        if (!m_window->isVisible() && !xdesktop::isViewable(xid(m_window))) {
            poll.stop();
            QTimer::singleShot(0, &poll, [] { QCoreApplication::exit(42); });
        }
    });
    QTimer::singleShot(0, &poll, [this] { xdesktop::closeThroughWindowManager(xid(m_window)); });
    QTimer::singleShot(10000, &poll, [] { QCoreApplication::exit(1); });
    poll.start(50);
    QCOMPARE(QCoreApplication::exec(), 42);
    // A click on its icon in the tray brings it back.
    QVERIFY(xdesktop::clickTrayIcon(1, [this] { return xdesktop::isViewable(xid(m_window)); }));
}

void TestDesktop::hourlyChimeIsHeard_data()
{
    // The beep is played at `frequency` for `beepMs` while the program goes
    // on, and the shake follows the end of the tone; a WAV plays on while the
    // window shakes at once.
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("beepMs");
    QTest::addColumn<int>("heardMs");

    const QString ding = QFINDTESTDATA("../resources/ding.wav");
    QTest::addRow("type 1 beeps 2 s whole") << 1 << ding << 1000 << 2000 << 2000;
    QTest::addRow("type 1 at 0 Hz pauses as long") << 1 << ding << 0 << 300 << 0;
    QTest::addRow("type 2 plays the whole WAV") << 2 << ding << 440 << 0 << 1172;
    QTest::addRow("type 3 is silent") << 3 << ding << 440 << 0 << 0;
    QTest::addRow("not a WAV") << 2 << QFINDTESTDATA("../resources/Clock.png") << 440 << 0 << 0;
}

void TestDesktop::hourlyChimeIsHeard()
{
    QFETCH(int, type);
    QFETCH(QString, sound);
    QFETCH(int, frequency);
    QFETCH(int, beepMs);
    QFETCH(int, heardMs);
    start("[vibration]\nactive=true\nduree=1\n");
    Configuration& c = g_configuration;
    std::tie(c.sonnerie_type, c.sonnerie_son, c.sonnerie_bip_frequence, c.sonnerie_bip_duree) =
        std::tuple(type, sound, frequency, std::max(beepMs, 300));

    AudioCapture capture;
    QVERIFY(capture.start());
    MoveRecorder shake(m_window);
    m_window->nouvelle_heure();
    const qint64 heldMs = shake.elapsedMs();
    QTRY_VERIFY_WITH_TIMEOUT(!shake.positions.isEmpty(), 5000);
    // The sound object goes once the sound is over, or cannot be played.
    QTRY_COMPARE_WITH_TIMEOUT(m_window->findChildren<QSoundEffect*>().size(), 0, 10000);
    const AudioCapture::Heard heard = capture.stop();

    const QString what =
        heard.text() + QStringLiteral(", held %1 ms, shaken after %2 ms").arg(heldMs).arg(shake.firstMs);
    QVERIFY2(std::abs(heard.ms - heardMs) < 60, qPrintable(what));
    QVERIFY2(heldMs < 100 && shake.firstMs >= beepMs - 10 && shake.firstMs <= beepMs + 250, qPrintable(what));
    QVERIFY2(type != 1 || heardMs == 0 || std::abs(heard.hz - frequency) <= 3.0, qPrintable(what));
}

void TestDesktop::beepTestPlaysTheEditedToneAlone()
{
    // "Aucun" is chosen, and the hour's chime would be another beep.
    start("[sonnerie]\ntype=1\nbip\\frequence=1000\n");
    auto* preferences = m_window->preferencesDialog();
    preferences->show();
    preferences->findChild<QRadioButton*>("m_radio_rien")->setChecked(true);
    preferences->findChild<QSlider*>("m_slider_bip_frequence")->setValue(440);
    preferences->findChild<QSlider*>("m_slider_bip_duree")->setValue(500);
    auto* test = preferences->findChild<QPushButton*>("bouton_bip_test");

    AudioCapture capture;
    QVERIFY(capture.start());
    // A second click and the hour, while the tone plays, neither add to it
    // nor wait for it.
    qint64 heldMs = -1;
    QObject scope; // the timer must not outlive what it refers to
    QTimer::singleShot(150, &scope, [&] {
        QElapsedTimer held;
        held.start();
        QTest::mouseClick(test, Qt::LeftButton);
        m_window->nouvelle_heure();
        heldMs = held.elapsed();
    });
    QTest::mouseClick(test, Qt::LeftButton);
    const AudioCapture::Heard heard = capture.stop();
    QVERIFY2(heldMs >= 0 && heldMs < 100, qPrintable(QString::number(heldMs)));
    QVERIFY2(std::abs(heard.ms - 500) < 60 && std::abs(heard.hz - 440) <= 3.0, qPrintable(heard.text()));
}

void TestDesktop::hourlyShakeDoesNotWaitForADialog()
{
    start("[sonnerie]\ntype=1\nbip\\duree=300\n[vibration]\nactive=true\nduree=10\n");
    MoveRecorder shake(m_window);
    // A dialog opened while the chime sounds, and left open.
    bool shookMeanwhile = false;
    QObject scope;
    QTimer::singleShot(50, &scope, [&] {
        shookMeanwhile =
            answerNextDialog([this] { m_window->findChild<FenetreAlarmes*>()->openDialog(); },
                             [&](QDialog&) { QTRY_VERIFY_WITH_TIMEOUT(!shake.positions.isEmpty(), 3000); });
    });
    m_window->nouvelle_heure();
    QTRY_VERIFY_WITH_TIMEOUT(shookMeanwhile, 5000);
}

void TestDesktop::sharpAtTheScreensDensity_data()
{
    // What shows in the clock's window (the bell "m_cloche", with an alarm
    // armed) or on a stopwatch's page ("bouton_start"): the picture ":/ressources/FILE.png" as Qt shows that
    // one file, on a screen of pixel ratio 2 (at 1, the file without
    // "@2x"). The face and the tool bars at each ratio are testmainwindow's
    // and testtoolwindow's.
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("file");
    // clang-format off
    QTest::addRow("the bell") << "m_cloche" << "GoldBell@2x";
    QTest::addRow("a stopwatch's start") << "bouton_start" << "play@2x";
    // clang-format on
}

void TestDesktop::sharpAtTheScreensDensity()
{
    QFETCH(QString, shown);
    QFETCH(QString, file);
    ManualClock clock(onTestDay("14:07:37.000"));
    start();
    m_window->findChild<FenetreAlarmes*>()->newAlarm(Alarme{21, 5, true, "Soir", {}, false, {}});
    m_window->update_horloge();
    QWidget* widget = m_window->centralWidget()->findChild<QWidget*>(shown);
    if (!widget) {
        auto* stopwatches = m_window->findChild<FenetreChronometres*>();
        stopwatches->show();
        stopwatches->openDialog();
        QTRY_VERIFY_WITH_TIMEOUT(settled(stopwatches, true), kWmTimeoutMs);
        widget = stopwatches->findChild<QWidget*>(shown);
    }
    QVERIFY(widget && widget->isVisible());
    const qreal ratio = widget->devicePixelRatio();

    // Shown from that one file alone it looks the same; without it, not.
    const QIcon alone(":/ressources/" + (ratio > 1 ? file : file.section('@', 0, 0)) + ".png");
    auto* label = qobject_cast<QLabel*>(widget);
    const QSize size = label ? label->pixmap().deviceIndependentSize().toSize() : QSize();
    const auto showAlone = [&](const QIcon& icon) {
        if (label)
            label->setPixmap(icon.pixmap(size, ratio));
        else
            static_cast<QAbstractButton*>(widget)->setIcon(icon);
        widget->repaint();
        return onScreen(widget, widget->rect());
    };
    widget->repaint();
    const QImage seen = onScreen(widget, widget->rect());
    QVERIFY(showAlone(QIcon()) != seen);
    QCOMPARE(showAlone(alone), seen);
}

QTEST_MAIN(TestDesktop)
#include "testdesktop.moc"
