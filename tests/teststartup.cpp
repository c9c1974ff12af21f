#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "app/weblinks.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/temporaryconfiguration.h"
#include "tools/alert.h"

#include <QtTest>
#include <QtWidgets>

#include <csignal>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void projectPages_data();
    void projectPages();
    void failedSaveIsShownDuringTheRunOnly();
    void terminationRequestSaves_data();
    void terminationRequestSaves();
};

void TestStartup::projectPages_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("pageBeside");
    QTest::addColumn<QString>("opened");
    const QString site = QStringLiteral("https://clepsa.example.org/index.php?page=site_aidez_nous");
    QTest::addRow("an address given to the build wins over the page") << site << true << site;
    QTest::addRow("no address and no page: nothing") << "" << false << "";
}

void TestStartup::projectPages()
{
    QFETCH(QString, address);
    QFETCH(bool, pageBeside);
    // The page beside the test program is the only one where the tests run.
    const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/aide.html");
    QVERIFY(pageBeside || QFile::rename(page, page + ".away"));
    const auto putBack = qScopeGuard([&] { QFile::rename(page + ".away", page); });
    QTEST(projectPage(address).toString(), "opened");
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
        ApplicationLifetime lifetime(*qApp, [] { return std::make_unique<FenetrePrincipale>(); });
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
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype caught = text.indexOf("SigCgt:");
    return caught >= 0 && (text.mid(caught + 7, 17).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1;
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
    clock.start(program, {});
    QVERIFY(clock.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(clock.processId(), sig), 10000);

    ::kill(pid_t(clock.processId()), sig);
    QVERIFY(clock.waitForFinished(10000));
    QCOMPARE(clock.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock.exitCode(), 0);
    // Saved as "Quitter" saves: what was read, and every default besides.
    const auto saved = conf.read();
    QCOMPARE(saved->value("vibration/duree").toInt(), 123);
    QCOMPARE(saved->value("sonnerie/bip/frequence").toInt(), 7000);
}

QTEST_MAIN(TestStartup)
#include "teststartup.moc"
