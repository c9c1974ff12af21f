#include "app/applicationlifetime.h"
#include "app/configuration.h"
#include "mainwindow/fenetreprincipale.h"
#include "platform/displayserver.h"
#include "support/temporaryconfiguration.h"
#include "tools/alert.h"

#include <QtTest>
#include <QtWidgets>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void failedSaveIsShownDuringTheRunOnly();
    void qtPlatformChosen_data();
    void qtPlatformChosen();
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

void TestStartup::qtPlatformChosen_data()
{
    // The environment as "NAME=value" lines, the command line's arguments
    // after the program, and the platform asked of Qt ("" for Qt's choice).
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("platform");
    // The sessions of desktops themselves are the end-to-end stories'.
    const QStringList waylandSession{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"};
    QTest::addRow("a compositor's own session, with XWayland")
        << QStringList{"WAYLAND_DISPLAY=wayland-1", "DISPLAY=:1"} << QStringList{} << QByteArray("xcb");
    QTest::addRow("an empty choice is no choice")
        << waylandSession + QStringList{"QT_QPA_PLATFORM="} << QStringList{} << QByteArray("xcb");
    QTest::addRow("the user chose Wayland")
        << waylandSession + QStringList{"QT_QPA_PLATFORM=wayland"} << QStringList{} << QByteArray();
    QTest::addRow("the user chose on the command line")
        << waylandSession << QStringList{"-platform", "wayland"} << QByteArray();
}

void TestStartup::qtPlatformChosen()
{
    QFETCH(QStringList, environment);
    QFETCH(QStringList, arguments);
    QProcessEnvironment given;
    for (const QString& line : environment)
        given.insert(line.section('=', 0, 0), line.section('=', 1));
    QTEST(platform::preferredQtPlatform(given, QStringList{"clepsa"} + arguments), "platform");
}

QTEST_MAIN(TestStartup)
#include "teststartup.moc"
