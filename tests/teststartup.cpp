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
    void firstStartOpensTheHelpPageOnce_data();
    void firstStartOpensTheHelpPageOnce();
    void projectPages_data();
    void projectPages();
    void failedSaveIsShownDuringTheRunOnly();
    void terminationRequestSaves_data();
    void terminationRequestSaves();
};

static std::unique_ptr<QWidget> makeMainWindow()
{
    return std::make_unique<FenetrePrincipale>();
}

namespace {

// Takes the help page from beside the test program while it lives, when
// asked to; no other copy is installed where the tests run.
class HiddenHelpPage
{
public:
    explicit HiddenHelpPage(bool hide)
        : m_hidden(hide && QFile::rename(page(), page() + ".away"))
    {
    }
    ~HiddenHelpPage()
    {
        if (m_hidden)
            QFile::rename(page() + ".away", page());
    }
    bool hidden() const { return m_hidden; }

private:
    static QString page() { return QCoreApplication::applicationDirPath() + QStringLiteral("/aide.html"); }
    bool m_hidden;
};

} // namespace

void TestStartup::firstStartOpensTheHelpPageOnce_data()
{
    QTest::addColumn<bool>("pageBeside");
    QTest::addColumn<QString>("opened");
    QTest::addRow("the page beside the program, with the first start's query")
        << true << shippedHelpPage() + QStringLiteral("?v=from_h");
    QTest::addRow("no page anywhere: nothing, said once") << false << "";
}

void TestStartup::firstStartOpensTheHelpPageOnce()
{
    QFETCH(bool, pageBeside);
    QFETCH(QString, opened);
    TemporaryConfiguration conf;
    const HiddenHelpPage hidden(!pageBeside);
    QCOMPARE(hidden.hidden(), !pageBeside);
    UrlRecorder browser({QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")});
    if (!pageBeside)
        QTest::ignoreMessage(QtWarningMsg, "Clepsa : page d'aide aide.html introuvable, rien n'est ouvert");
    for (int start = 0; start < 2; ++start) {
        QPointer<QWidget> window;
        {
            ApplicationLifetime lifetime(*qApp, makeMainWindow);
            window = lifetime.mainWindow();
            QStringList seen;
            for (const QUrl& url : browser.opened)
                seen << url.toString();
            QCOMPARE(seen.join(' '), opened);
            // The file exists from the first start on.
            QCOMPARE(conf.read()->value("premier_demarrage").toString(), QStringLiteral("false"));
            QVERIFY(g_trayIcon->isVisible());
        }
        // Torn down with the rest, after the global objects.
        QVERIFY(window.isNull() && !g_trayIcon);
    }
}

void TestStartup::projectPages_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("pageBeside");
    QTest::addColumn<QString>("page");
    const QString site = QStringLiteral("https://clepsa.example.org/index.php?page=site_aidez_nous");
    QTest::addRow("an address given to the build wins over the page") << site << true << site;
    QTest::addRow("an address without a page") << site << false << site;
    QTest::addRow("no address: the page beside the program") << "" << true << shippedHelpPage();
    QTest::addRow("neither") << "" << false << "";
}

void TestStartup::projectPages()
{
    QFETCH(QString, address);
    QFETCH(bool, pageBeside);
    QFETCH(QString, page);
    const HiddenHelpPage hidden(!pageBeside);
    QCOMPARE(hidden.hidden(), !pageBeside);
    QCOMPARE(projectPage(address).toString(), page);
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
