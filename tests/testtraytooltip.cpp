// The real program on a desktop whose tray speaks StatusNotifierItem: what its
// tray item's tooltip tells, read over D-Bus from outside the process.

#include "support/temporaryconfiguration.h"

#include <QtTest>

namespace {

// The tooltips of every registered tray item, as the watcher reads them.
QString trayToolTips()
{
    QProcess gdbus;
    gdbus.start(QStringLiteral("gdbus"),
                {"call", "--session", "--dest", "org.kde.StatusNotifierWatcher", "--object-path",
                 "/StatusNotifierWatcher", "--method", "org.kde.StatusNotifierWatcher.DumpToolTips"});
    gdbus.waitForFinished(5000);
    return QString::fromUtf8(gdbus.readAllStandardOutput());
}

} // namespace

class TestTrayToolTip : public QObject
{
    Q_OBJECT

private slots:
    void tellsTheNextAlarm();
};

void TestTrayToolTip::tellsTheNextAlarm()
{
    TemporaryConfiguration conf;
    const QString program = conf.dirPath() + "/clepsa";
    QVERIFY(QFile::copy(QStringLiteral(CLEPSA_BINARY), program));
    // Two hours from now, which may be tomorrow.
    const QTime now = QTime::currentTime();
    const QTime alarm = now.addSecs(2 * 3600);
    QVERIFY(conf.write(QStringLiteral("[General]\npremier_demarrage=false\n[alarm]\n1\\h=%1\n1\\m=%2\n"
                                      "1\\active=true\n1\\title=Soir\nsize=1\n")
                           .arg(alarm.hour())
                           .arg(alarm.minute())
                           .toUtf8()));

    const QString record = conf.dirPath() + "/desktop.jsonl";
    QProcess desktop;
    // Debian's Python, which has the D-Bus modules.
    desktop.start(QStringLiteral("/usr/bin/python3"), {QFINDTESTDATA("support/fakedesktop.py"), record});
    QTRY_VERIFY_WITH_TIMEOUT(QFile(record).exists() && QFile(record).size() > 0, 10000);

    QProcess clock;
    clock.setWorkingDirectory(conf.dirPath());
    clock.start(program, {});
    const QString expected = QStringLiteral("Prochaine alarme : ") + (alarm < now ? "demain " : "")
        + alarm.toString(u"hh:mm") + " Soir";
    QTRY_VERIFY_WITH_TIMEOUT(trayToolTips().contains(expected), 15000);

    clock.terminate();
    QVERIFY(clock.waitForFinished(10000));
    desktop.terminate();
    QVERIFY(desktop.waitForFinished(10000));
}

QTEST_MAIN(TestTrayToolTip)
#include "testtraytooltip.moc"
