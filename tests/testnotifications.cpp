// An alarm's notification as the desktop's notification server gets it and
// the user answers it: python3-dbusmock's notification daemon stands for the
// server (it records every call and sends the signals it is told to), the
// sound is heard on the null sink of scripts/desktop-session, and time is
// the test's.

#include "app/configuration.h"
#include "support/audiocapture.h"
#include "support/testday.h"
#include "support/xdesktop.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/alarmsound.h"
#include "tools/alert.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString kServer = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QString calls()
{
    return xdesktop::gdbusCall(kServer, kPath, "org.freedesktop.DBus.Mock.GetCalls");
}

// As the server does when the user presses the button `action`.
void press(uint id, const QString& action)
{
    xdesktop::gdbusCall(
        kServer, kPath, "org.freedesktop.DBus.Mock.EmitSignal",
        {kServer, "ActionInvoked", "us", QStringLiteral("[<uint32 %1>, <'%2'>]").arg(id).arg(action)});
}

} // namespace

class TestNotifications : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void anAlarmAnsweredFromItsNotification();

private:
    // The server, showing buttons or not.
    void startServer(const char* capabilities);

    QProcess m_server;
};

void TestNotifications::initTestCase()
{
    // Run in a session without a notification server (tests/CMakeLists.txt).
    QApplication::setApplicationName("Clepsa");
    QGuiApplication::setDesktopFileName("org.clepsa.Clepsa");
    m_server.setProcessChannelMode(QProcess::ForwardedChannels);
}

void TestNotifications::startServer(const char* capabilities)
{
    m_server.start("/usr/bin/python3",
                   {"-m", "dbusmock", "--session", "--template", "notification_daemon", "-p",
                    QStringLiteral(R"({"capabilities": "%1"})").arg(capabilities)});
    QTRY_VERIFY_WITH_TIMEOUT(!calls().isEmpty(), 20000);
}

void TestNotifications::cleanup()
{
    m_server.terminate();
    m_server.waitForFinished();
}

void TestNotifications::anAlarmAnsweredFromItsNotification()
{
    startServer("body actions");
    TestDay day(QStringLiteral("10:00:30.003"));
    setTrayMessageSink({});
    QVERIFY(day.conf.write(
        "[alarmes]\nson=true\nrepetition=3\n[sonnerie]\nson="
        + QFINDTESTDATA("../resources/ding.wav").toUtf8()
        + "\n[alarm]\n1\\h=10\n1\\m=1\n1\\active=true\n1\\title=Réveil\n1\\message=Debout\nsize=1\n"));
    charger_configuration();
    FenetreAlarmes window(nullptr);

    // It stays until answered, with both buttons, in the launcher's name.
    day.tick("10:01:00.003");
    QTRY_VERIFY(calls().contains("'Notify', [<'Clepsa'>, <uint32 0>, <'org.clepsa.Clepsa'>, <'Réveil'>, "
                                 "<'Debout'>, <['repeter', 'Répéter dans 3 min', 'arreter', 'Arrêter']>, "
                                 "<{'desktop-entry': <'org.clepsa.Clepsa'>, 'urgency': <byte 0x02>}>, <0>]"));
    QVERIFY(alarmSoundPlaying());
    press(1, "repeter");
    QTRY_VERIFY(calls().contains("'CloseNotification', [<1>]"));
    QVERIFY(!alarmSoundPlaying());

    // Again three minutes later, once; the sound plays over and over until
    // "Arrêter".
    AudioCapture capture;
    QVERIFY(capture.start());
    day.tick("10:03:59.003");
    day.tick("10:04:00.003");
    QTRY_COMPARE(calls().count("'Notify'"), 2);
    QTest::qWait(3500);
    press(2, "arreter");
    QTRY_VERIFY(calls().contains("'CloseNotification', [<2>]"));
    QTest::qWait(1500);
    const AudioCapture::Heard heard = capture.stop();
    QVERIFY2(heard.ms > 3000 && heard.ms < 4300, qPrintable(heard.text()));

    // The next day, a server without buttons gets the tray's balloon.
    cleanup();
    startServer("body");
    day.tick("+10:01:00.003");
    QTRY_VERIFY(calls().contains("<'Réveil'>, <'Debout'>, <@as []>"));
}

QTEST_MAIN(TestNotifications)
#include "testnotifications.moc"
