#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/temporaryconfiguration.h"
#include "tools/alert.h"

#include <QtTest>
#include <QtWidgets>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void failedSaveIsShownDuringTheRunOnly();
};

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
