#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "app/globals.h"
#include "app/weblinks.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/temporaryconfiguration.h"
#include "support/urlrecorder.h"
#include "tools/alert.h"

#include <QtTest>
#include <QtWidgets>

#include <csignal>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstStartOpensTheHomePageOnce();
    void failedSaveIsShownDuringTheRunOnly();
    void terminationRequestSaves_data();
    void terminationRequestSaves();
};

static std::unique_ptr<QWidget> makeMainWindow()
{
    return std::make_unique<FenetrePrincipale>();
}

void TestStartup::firstStartOpensTheHomePageOnce()
{
    TemporaryConfiguration conf;
    UrlRecorder browser;
    for (int start = 0; start < 2; ++start) {
        QPointer<QWidget> window;
        {
            ApplicationLifetime lifetime(*qApp, makeMainWindow);
            window = lifetime.mainWindow();
            QCOMPARE(browser.opened,
                     QList<QUrl>{QUrl(homePageUrl().toString() + QStringLiteral("?v=from_h"))});
            // The file exists from the first start on.
            QCOMPARE(conf.read()->value("premier_demarrage").toString(), QStringLiteral("false"));
            QVERIFY(g_trayIcon->isVisible());
        }
        // Torn down with the rest, after the global objects.
        QVERIFY(window.isNull() && !g_trayIcon);
    }
}

void TestStartup::failedSaveIsShownDuringTheRunOnly()
{
    TemporaryConfiguration conf;
    QVERIFY(conf.write("[General]\npremier_demarrage=false\n"));
    QStringList balloons;
    setTrayMessageSink([&](const TrayMessage& m) { balloons << m.titre + ": " + m.texte; });
    // A folder that cannot exist, even for root.
    const QString file = QStringLiteral("/dev/null/conf.ini");
    const QByteArray printed = "Clepsa : impossible d'enregistrer les réglages dans " + file.toUtf8();
    {
        ApplicationLifetime lifetime(*qApp, makeMainWindow);
        setConfigurationFilePath(file);
        QTest::ignoreMessage(QtWarningMsg, printed.constData());
        sauver_configuration();
        QCOMPARE(balloons, QStringList{"Erreur: Impossible d'enregistrer les réglages dans " + file});
        // The tray is going at the end: printed only.
        QTest::ignoreMessage(QtWarningMsg, printed.constData());
    }
    setTrayMessageSink({});
    QCOMPARE(balloons.size(), 1);
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
    // The real program, in a folder of its own where it keeps its conf.ini.
    TemporaryConfiguration conf;
    const QString program = conf.dirPath() + QStringLiteral("/clepsa");
    QVERIFY(QFile::copy(QStringLiteral(CLEPSA_BINARY), program));
    QVERIFY(conf.write("[General]\npremier_demarrage=false\n[vibration]\nduree=123\n"));

    QProcess clock;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    clock.setProcessEnvironment(env);
    clock.setWorkingDirectory(conf.dirPath());
    clock.start(program, {});
    QVERIFY(clock.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(clock.processId(), sig), 10000);

    ::kill(pid_t(clock.processId()), sig);
    QVERIFY(clock.waitForFinished(10000));
    QCOMPARE(clock.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock.exitCode(), 0);
    const auto saved = conf.read();
    QVERIFY(saved->value("date").toDateTime().isValid());
    QCOMPARE(saved->value("vibration/duree").toInt(), 123);
    QCOMPARE(saved->value("sonnerie/bip/frequence").toInt(), 7000);
}

QTEST_MAIN(TestStartup)
#include "teststartup.moc"
