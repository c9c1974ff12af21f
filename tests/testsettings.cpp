#include "app/configuration.h"
#include "app/datafiles.h"
#include "platform/autostart.h"
#include "support/temporaryconfiguration.h"

#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Clepsa")); }
    void loadedAndSaved_data();
    void loadedAndSaved();
    void failedSaveKeepsThePreviousFile();
    void fileLocation_data();
    void fileLocation();
    void autostartEntryFollowsTheSetting();
    void storedFilesAreFoundFromAnyFolder();
};

// Writes `contents` at `path`, making its folder.
static bool put(const QString& path, const QByteArray& contents = {})
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly)
        && file.write(contents) == contents.size();
}

void TestSettings::loadedAndSaved_data()
{
    // What conf.ini holds before the start (null: no file at all), then what
    // it holds after a load and a save, and another load and save from the
    // defaults.
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("saved");

    // The keys that came later are written only once set or when already
    // there (absent reads as empty).
    QTest::addRow("a first start writes the defaults")
        << QByteArray() << QStringList{"premier_demarrage=true", "vibration/duree=200", "alarmes/son="};
    QTest::addRow("later keys already there stay, held to their range")
        << QByteArray("[alarmes]\nson=false\nrepetition=500\n")
        << QStringList{"alarmes/son=false", "alarmes/repetition=60"};
    // One key of each kind (a boolean, a number, a text, a key of a
    // subgroup), each apart from its default: a key that is not read comes
    // back as its default and shows.
    QTest::addRow("stored values come back")
        << QByteArray("premier_demarrage=false\n[horloge]\npen_b=255\nimage=/tmp/cadran \xc3\xa9.png\n"
                      "[sonnerie]\nbip\\duree=1200\n")
        << QStringList{"premier_demarrage=false", "horloge/pen_b=255", "horloge/image=/tmp/cadran é.png",
                       "sonnerie/bip/duree=1200"};
    QTest::addRow("words and empty values keep the defaults")
        << QByteArray("[vibration]\nduree=beaucoup\nintensite=\n[demarrage]\nreduire=peut-etre\n")
        << QStringList{"vibration/duree=200", "vibration/intensite=5", "demarrage/reduire=false"};
    QTest::addRow("spaces around numbers, 1 and 0, any chime type are read")
        << QByteArray("[vibration]\nduree= 15 \n[demarrage]\nreduire=1\n[sauvegarde]\nalarmes=0\n"
                      "[sonnerie]\ntype=7\n")
        << QStringList{"vibration/duree=15", "demarrage/reduire=true", "sauvegarde/alarmes=false",
                       "sonnerie/type=7"};
}

void TestSettings::loadedAndSaved()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, saved);
    TemporaryConfiguration conf;
    QVERIFY(file.isNull() || conf.write(file));
    // What is not in the file is the default, whatever was in memory.
    g_configuration.horloge_pen_size = 42;
    // A save that works says nothing.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    charger_configuration();
    sauver_configuration();
    g_configuration = Configuration();
    charger_configuration();
    sauver_configuration();

    const auto settings = conf.read();
    QVERIFY(settings->value("date").toDateTime().isValid());
    for (const QString& pair : saved)
        QCOMPARE(pair.section('=', 0, 0) + '=' + settings->value(pair.section('=', 0, 0)).toString(), pair);
}

void TestSettings::failedSaveKeepsThePreviousFile()
{
    TemporaryConfiguration conf;
    const QString small = conf.dirPath() + QStringLiteral("/petit");
    QVERIFY(QDir().mkpath(small));
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small}) != 0)
        QSKIP("no small file system can be mounted here");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {"-l", small}); });

    const QByteArray previous = "[General]\npremier_demarrage=false\n[vibration]\nduree=123\n";
    QFile file(small + QStringLiteral("/conf.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(previous) == previous.size());
    file.close();
    // Full to the last byte.
    QFile filler(small + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) > 0) { }
    setConfigurationFilePath(file.fileName());
    g_configuration.vibration_duree = 456;
    QTest::ignoreMessage(
        QtWarningMsg, qPrintable("Clepsa : impossible d'enregistrer les réglages dans " + file.fileName()));
    sauver_configuration();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), previous);
}

void TestSettings::fileLocation_data()
{
    // Which paths can be written (CI runs as root, where permissions would
    // not tell), whether conf.ini is beside the program (vibration/duree=123)
    // and in the user's folder (=7), whether the program runs from where it
    // was installed; then which one is used, and what the user's file holds
    // afterwards ("" when there is none).
    QTest::addColumn<QStringList>("writable");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<bool>("userFileThere");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("besideTheProgram");
    QTest::addColumn<QString>("userFileHolds");

    QTest::addRow("writable program folder, no file yet")
        << QStringList{"prog"} << false << false << false << true << "";
    QTest::addRow("writable program folder and file")
        << QStringList{"prog", "prog/conf.ini"} << true << true << false << true << "7";
    QTest::addRow("read-only program folder") << QStringList{} << false << false << false << false << "";
    QTest::addRow("read-only file carried over")
        << QStringList{"prog"} << true << false << false << false << "123";
    QTest::addRow("the user's own file is kept") << QStringList{} << true << true << false << false << "7";
    QTest::addRow("installed, writable for root: never written there")
        << QStringList{"prog", "prog/conf.ini"} << true << false << true << false << "123";
}

void TestSettings::fileLocation()
{
    QFETCH(QStringList, writable);
    QFETCH(bool, fileThere);
    QFETCH(bool, userFileThere);
    QFETCH(bool, installed);
    QFETCH(bool, besideTheProgram);
    QFETCH(QString, userFileHolds);
    TemporaryConfiguration conf;
    const QDir root(conf.dirPath());
    const QString userFile = root.filePath(QStringLiteral("config/Clepsa/conf.ini"));
    const QString beside = root.filePath(QStringLiteral("prog/conf.ini"));
    QVERIFY(!fileThere || put(beside, "[vibration]\nduree=123\n"));
    if (!writable.contains("prog/conf.ini"))
        QFile::setPermissions(beside, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QVERIFY(!userFileThere || put(userFile, "[vibration]\nduree=7\n"));
    QVERIFY(root.mkpath(QStringLiteral("prog")));

    const QString program = root.filePath(QStringLiteral("prog"));
    const QString chosen = locateConfigurationFile(
        program, installed ? program + "/." : "/usr/local/bin",
        [&](const QString& path) { return writable.contains(root.relativeFilePath(path)); });
    QCOMPARE(chosen, besideTheProgram ? beside : userFile);
    // The user's folder is made, so the first save succeeds.
    QCOMPARE(QFileInfo(userFile).dir().exists(), !besideTheProgram || userFileThere);
    QCOMPARE(QSettings(userFile, QSettings::IniFormat).value("vibration/duree").toString(), userFileHolds);
    QVERIFY(userFileHolds.isEmpty() || QFileInfo(userFile).permissions().testFlag(QFile::WriteOwner));
}

void TestSettings::autostartEntryFollowsTheSetting()
{
    TemporaryConfiguration conf;
    QFile entry(conf.dirPath() + QStringLiteral("/config/autostart/Rivozur.desktop"));
    g_configuration.demarrage_os = true;
    sauver_configuration();
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    QVERIFY(text.startsWith("[Desktop Entry]\nType=Application\n"));
    QVERIFY(text.contains("\nExec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\"\n"));
    entry.close();
    // The desktop entry's quoting: escaped once in quotes, and once more as
    // a string value.
    platform::setAutostart(true, QStringLiteral("/opt/a b\\c$d/clepsa"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QVERIFY(entry.readAll().contains("\nExec=\"/opt/a b\\\\\\\\c\\\\$d/clepsa\"\n"));
    entry.close();
    g_configuration.demarrage_os = false;
    sauver_configuration();
    QVERIFY(!entry.exists());
}

void TestSettings::storedFilesAreFoundFromAnyFolder()
{
    TemporaryConfiguration conf;
    const QString wav = QStringLiteral("sons-de-test/ding.wav"), previous = QDir::currentPath();
    const QString cwd = conf.dirPath() + '/', program = QCoreApplication::applicationDirPath() + '/';
    // The installed data folder as the program sees it from where it runs.
    const QString installed = QDir::cleanPath(program + QStringLiteral(DATA_DIR_FROM_BIN)) + '/';
    const auto unchanged = qScopeGuard([&] {
        QDir::setCurrent(previous);
        QDir(program + QStringLiteral("sons-de-test")).removeRecursively();
        QDir(installed + QStringLiteral("sons-de-test")).removeRecursively();
    });
    QVERIFY(QDir::setCurrent(cwd));
    for (const QString& stored :
         {wav, QString(), "/nonexistent/" + wav, QStringLiteral(":/ressources/Clock.png")})
        QCOMPARE(locateDataFile(stored), stored);
    QVERIFY(put(installed + wav));
    QCOMPARE(locateDataFile(wav), installed + wav);
    // A folder of that name is no file.
    QVERIFY(QDir().mkpath(cwd + wav) && put(program + wav));
    QCOMPARE(locateDataFile(wav), program + wav);
    QVERIFY(QDir(cwd + wav).removeRecursively() && put(cwd + wav));
    QCOMPARE(locateDataFile(wav), cwd + wav);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "testsettings.moc"
