// The real program on a desktop without a system tray: its window is the
// only way to reach it.

#include "support/temporaryconfiguration.h"
#include "support/xdesktop.h"

#include <QtTest>
#include <QtWidgets>

class TestNoTray : public QObject
{
    Q_OBJECT

private slots:
    void theWindowStaysWithinReach()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        TemporaryConfiguration conf;
        const QString program = conf.dirPath() + "/clepsa";
        QVERIFY(QFile::copy(QStringLiteral(CLEPSA_BINARY), program));
        QVERIFY(conf.write("[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n"));
        QProcess clock;
        clock.setWorkingDirectory(conf.dirPath());
        clock.start(program, {});

        // Shown although asked to start in the tray.
        WId window = 0;
        QTRY_VERIFY_WITH_TIMEOUT((window = xdesktop::shownWindow(clock.processId(), "Clepsa")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!xdesktop::frameExtents(window).isEmpty(), 10000);
        // Closed, it goes to the task bar rather than out of sight.
        QVERIFY(xdesktop::closeThroughWindowManager(window));
        QTRY_VERIFY_WITH_TIMEOUT(xdesktop::netWmState(window).contains("_NET_WM_STATE_HIDDEN"), 10000);
        QCOMPARE(clock.state(), QProcess::Running);
        clock.terminate();
        QVERIFY(clock.waitForFinished(10000));
    }
};

QTEST_MAIN(TestNoTray)
#include "testnotray.moc"
