#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "app/globals.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/temporaryconfiguration.h"
#include "support/urlrecorder.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QPointer>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTest>

#include <csignal>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstStartOpensTheHomePageOnce();
    void closingEveryWindowKeepsTheProgramRunning();
    void windowShownUnlessStartingInTheTray_data();
    void windowShownUnlessStartingInTheTray();
    void terminationRequestSaves_data();
    void terminationRequestSaves();
};

void TestStartup::firstStartOpensTheHomePageOnce()
{
    TemporaryConfiguration conf;
    UrlRecorder browser;

    {
        ApplicationLifetime first(*qApp);
        QCOMPARE(browser.opened.size(), 1);
        QCOMPARE(browser.opened.first().query(), QStringLiteral("v=from_h"));
        QCOMPARE(browser.opened.first().adjusted(QUrl::RemoveQuery), ApplicationLifetime::homePageUrl());
        // The file exists from the first start on.
        QCOMPARE(conf.read()->value("premier_demarrage").toString(), QStringLiteral("false"));
    }
    {
        ApplicationLifetime second(*qApp);
        QCOMPARE(browser.opened.size(), 1);
    }
}

void TestStartup::closingEveryWindowKeepsTheProgramRunning()
{
    TemporaryConfiguration conf;
    conf.write("[General]\npremier_demarrage=false\n");
    ApplicationLifetime lifetime(*qApp);
    QVERIFY(!QApplication::quitOnLastWindowClosed());
}

void TestStartup::windowShownUnlessStartingInTheTray_data()
{
    QTest::addColumn<QByteArray>("reduire");
    QTest::addColumn<bool>("shown");
    QTest::addRow("demarrage/reduire false shows the window") << QByteArray("false") << true;
    QTest::addRow("demarrage/reduire true leaves only the tray icon") << QByteArray("true") << false;
}

void TestStartup::windowShownUnlessStartingInTheTray()
{
    QFETCH(QByteArray, reduire);
    QFETCH(bool, shown);
    TemporaryConfiguration conf;
    conf.write("[General]\npremier_demarrage=false\n[demarrage]\nreduire=" + reduire + "\n");

    QPointer<FenetrePrincipale> window;
    {
        ApplicationLifetime lifetime(*qApp);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* fenetre = qobject_cast<FenetrePrincipale*>(w))
                window = fenetre;
        }
        QVERIFY(window);
        QCOMPARE(window->isVisible(), shown);
        QVERIFY(g_trayIcon->isVisible());
    }
    // Torn down with the rest, after the global objects.
    QVERIFY(window.isNull());
    QVERIFY(!g_trayIcon);
}

// True once the process has its own handler for `sig`, so that a signal sent
// from then on cannot meet the default action.
static bool catchesSignal(qint64 pid, int sig)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1;
    }
    return false;
}

void TestStartup::terminationRequestSaves_data()
{
    QTest::addColumn<int>("sig");
    QTest::addRow("SIGTERM") << int(SIGTERM);
    QTest::addRow("SIGINT") << int(SIGINT);
    QTest::addRow("SIGHUP") << int(SIGHUP);
}

void TestStartup::terminationRequestSaves()
{
    QFETCH(int, sig);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("clepsa"));
    QVERIFY(QFile::copy(QStringLiteral(CLEPSA_BINARY), program));

    const QString confPath = dir.filePath(QStringLiteral("conf.ini"));
    {
        QSettings conf(confPath, QSettings::IniFormat);
        conf.setValue("premier_demarrage", false);
        conf.setValue("date", QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
        conf.setValue("vibration/duree", 123);
    }

    QProcess clock;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    clock.setProcessEnvironment(env);
    clock.setWorkingDirectory(dir.path());
    clock.start(program, {});
    QVERIFY(clock.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(clock.processId(), sig), 10000);

    ::kill(pid_t(clock.processId()), sig);
    QVERIFY(clock.waitForFinished(10000));
    QCOMPARE(clock.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock.exitCode(), 0);

    QSettings conf(confPath, QSettings::IniFormat);
    QVERIFY(conf.value("date").toDateTime() > QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
    QCOMPARE(conf.value("vibration/duree").toInt(), 123);
    QCOMPARE(conf.value("sonnerie/bip/frequence").toInt(), 7000);
}

QTEST_MAIN(TestStartup)
#include "teststartup.moc"
