#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "app/weblinks.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/temporaryconfiguration.h"
#include "tools/alert.h"

#include <QtTest>
#include <QtWidgets>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void projectPages_data();
    void projectPages();
    void failedSaveIsShownDuringTheRunOnly();
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

QTEST_MAIN(TestStartup)
#include "teststartup.moc"
