#include "app/clock.h"
#include "app/configuration.h"
#include "platform/autostart.h"
#include "support/temporaryconfiguration.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void firstSaveWritesTheDefaults();
    void roundTripOfEveryKey();
    void unreadableValuesKeepTheirDefault_data();
    void unreadableValuesKeepTheirDefault();
    void garbageAndTruncatedFilesLoadSafely_data();
    void garbageAndTruncatedFilesLoadSafely();
    void saveKeepsArraysAndUnknownKeys();
    void twoSavesDifferOnlyInDate();
    void unwritableFileIsIgnored();
    void autostartEntryFollowsTheSetting();
};

using KeyValues = QList<QPair<QString, QString>>;

static void compareFile(const TemporaryConfiguration& conf, const KeyValues& expected)
{
    const auto file = conf.read();
    QCOMPARE(file->allKeys().size(), expected.size() + 1); // and "date"
    QVERIFY(file->value("date").toDateTime().isValid());
    for (const auto& [key, value] : expected)
        QCOMPARE(file->value(key).toString(), value);
}

void TestSettings::firstSaveWritesTheDefaults()
{
    TemporaryConfiguration conf;
    g_configuration.horloge_pen_size = 42;
    charger_configuration();
    QVERIFY(!QFile::exists(conf.path()));
    sauver_configuration();

    compareFile(conf, {
        {"premier_demarrage", "true"}, {"demarrage/reduire", "false"}, {"demarrage/os", "false"},
        {"demarrage/onTop", "false"}, {"sauvegarde/alarmes", "true"}, {"sauvegarde/chronos", "true"},
        {"sauvegarde/car", "true"}, {"sauvegarde/te", "true"},
        {"horloge/image", ":/ressources/horloge_modern.png"}, {"horloge/pen_r", "0"},
        {"horloge/pen_v", "0"}, {"horloge/pen_b", "0"}, {"horloge/pen_size", "0"},
        {"horloge/aiguille_seconde", "true"}, {"vibration/active", "false"},
        {"vibration/duree", "200"}, {"vibration/intensite", "5"}, {"sonnerie/type", "0"},
        {"sonnerie/bip/frequence", "7000"}, {"sonnerie/bip/duree", "500"},
        {"sonnerie/son", "ressources/ding.wav"}, {"langue", "fr"},
    });
    QVERIFY(conf.contents().contains("[sonnerie]\nbip\\duree=500\nbip\\frequence=7000\n"));
}

void TestSettings::roundTripOfEveryKey()
{
    // Every value differs from its default, so a key that is not read back
    // shows.
    const KeyValues stored = {
        {"premier_demarrage", "false"}, {"demarrage/reduire", "true"}, {"demarrage/os", "false"},
        {"demarrage/onTop", "true"}, {"sauvegarde/alarmes", "false"}, {"sauvegarde/chronos", "false"},
        {"sauvegarde/car", "false"}, {"sauvegarde/te", "false"},
        {"horloge/image", "/tmp/cadran é.png"}, {"horloge/pen_r", "12"}, {"horloge/pen_v", "34"},
        {"horloge/pen_b", "255"}, {"horloge/pen_size", "3"}, {"horloge/aiguille_seconde", "false"},
        {"vibration/active", "true"}, {"vibration/duree", "4999"}, {"vibration/intensite", "20"},
        {"sonnerie/type", "3"}, {"sonnerie/bip/frequence", "440"}, {"sonnerie/bip/duree", "1200"},
        {"sonnerie/son", "sons/coucou.wav"}, {"langue", "en"},
    };
    TemporaryConfiguration conf;
    {
        const auto file = conf.read();
        for (const auto& [key, value] : stored)
            file->setValue(key, value);
    }
    charger_configuration();
    const Configuration& c = g_configuration;
    QCOMPARE(c.premier_demarrage, false);
    QCOMPARE(c.demarrage_onTop, true);
    QCOMPARE(c.sauvegarde_te, false);
    QCOMPARE(c.horloge_image, QStringLiteral("/tmp/cadran é.png"));
    QCOMPARE(c.horloge_pen_v, 34);
    QCOMPARE(c.vibration_intensite, 20);
    QCOMPARE(c.sonnerie_bip_duree, 1200);
    QCOMPARE(c.langue, QStringLiteral("en"));

    // Saved into an empty file, everything comes from memory.
    conf.write({});
    sauver_configuration();
    compareFile(conf, stored);
}

void TestSettings::unreadableValuesKeepTheirDefault_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("duree");
    QTest::addColumn<bool>("reduire");
    QTest::addColumn<bool>("sauvegarde");
    QTest::addColumn<int>("type");

    QTest::addRow("words where numbers belong keep the defaults")
        << QByteArray("[vibration]\nduree=beaucoup\n[sonnerie]\ntype=bip\n") << 200 << false << true << 0;
    QTest::addRow("words where booleans belong keep the defaults")
        << QByteArray("[demarrage]\nreduire=peut-etre\n[sauvegarde]\nalarmes=jamais\n") << 200 << false << true << 0;
    QTest::addRow("numbers with spaces and 1/0 booleans are read")
        << QByteArray("[vibration]\nduree= 15 \n[demarrage]\nreduire=1\n[sauvegarde]\nalarmes=0\n") << 15 << true << false << 0;
    QTest::addRow("a chime type other than 1 and 2 is kept as it is")
        << QByteArray("[sonnerie]\ntype=7\n") << 200 << false << true << 7;
    QTest::addRow("an empty value keeps the default")
        << QByteArray("[vibration]\nduree=\n[sonnerie]\ntype=\n") << 200 << false << true << 0;
}

void TestSettings::unreadableValuesKeepTheirDefault()
{
    QFETCH(QByteArray, file);
    TemporaryConfiguration conf;
    conf.write(file);
    charger_configuration();

    QTEST(g_configuration.vibration_duree, "duree");
    QTEST(g_configuration.demarrage_reduire, "reduire");
    QTEST(g_configuration.sauvegarde_alarmes, "sauvegarde");
    QTEST(g_configuration.sonnerie_type, "type");
}

void TestSettings::garbageAndTruncatedFilesLoadSafely_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("frequence");

    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919 + 13) % 256));
    QTest::addRow("binary garbage") << garbage << 7000;
    QTest::addRow("truncated in the middle of a section")
        << QByteArray("[General]\npremier_demarrage=false\n[sonnerie]\nbip\\frequence=440\nbip\\du") << 440;
    QTest::addRow("truncated in a section header")
        << QByteArray("[sonnerie]\nbip\\frequence=880\n[vibra") << 880;
    QTest::addRow("a NUL byte ends the value")
        << QByteArray("[sonnerie]\nbip\\frequence=44\0" "0\n", 30) << 44;
}

void TestSettings::garbageAndTruncatedFilesLoadSafely()
{
    QFETCH(QByteArray, file);
    TemporaryConfiguration conf;
    conf.write(file);
    charger_configuration();
    QTEST(g_configuration.sonnerie_bip_frequence, "frequence");
    QCOMPARE(g_configuration.vibration_duree, 200);

    // What the user changes from there on is kept.
    g_configuration.vibration_duree = 321;
    sauver_configuration();
    g_configuration = Configuration();
    charger_configuration();
    QCOMPARE(g_configuration.vibration_duree, 321);
}

void TestSettings::saveKeepsArraysAndUnknownKeys()
{
    TemporaryConfiguration conf;
    conf.write("[alarm]\n1\\h=7\n1\\m=30\n1\\title=Lever\nsize=1\n"
               "[stopwatch]\n1\\temps=1234\nsize=1\n"
               "[General]\nchronos=1\nvieille_cle=garder\n");
    charger_configuration();
    sauver_configuration();

    const auto file = conf.read();
    QCOMPARE(file->value("alarm/size").toInt(), 1);
    QCOMPARE(file->value("alarm/1/h").toInt(), 7);
    QCOMPARE(file->value("alarm/1/m").toInt(), 30);
    QCOMPARE(file->value("alarm/1/title").toString(), QStringLiteral("Lever"));
    QCOMPARE(file->value("stopwatch/1/temps").toInt(), 1234);
    QCOMPARE(file->value("chronos").toInt(), 1);
    QCOMPARE(file->value("vieille_cle").toString(), QStringLiteral("garder"));
}

void TestSettings::twoSavesDifferOnlyInDate()
{
    TemporaryConfiguration conf;
    ManualClock clock(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
    ScopedClock scoped(&clock);

    charger_configuration();
    sauver_configuration();
    const auto first = conf.read();
    QHash<QString, QVariant> before;
    for (const QString& key : first->allKeys())
        before.insert(key, first->value(key));

    clock.advanceSeconds(90);
    charger_configuration();
    sauver_configuration();
    const auto second = conf.read();
    QCOMPARE(second->allKeys().size(), before.size());
    for (const QString& key : second->allKeys()) {
        if (key == QLatin1String("date"))
            continue;
        QCOMPARE(second->value(key), before.value(key));
    }
    QCOMPARE(before.value("date").toDateTime(), QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
    QCOMPARE(second->value("date").toDateTime(), QDateTime(QDate(2026, 12, 5), QTime(10, 1, 30)));
}

void TestSettings::unwritableFileIsIgnored()
{
    TemporaryConfiguration conf;
    // A directory that cannot exist: even root cannot write there.
    setConfigurationFilePath(QStringLiteral("/dev/null/conf.ini"));
    charger_configuration();
    g_configuration.vibration_duree = 77;
    sauver_configuration();
    QCOMPARE(g_configuration.vibration_duree, 77);
    charger_configuration();
    QCOMPARE(g_configuration.vibration_duree, 200);
}

void TestSettings::autostartEntryFollowsTheSetting()
{
    TemporaryConfiguration conf;
    const QString entry = platform::autostartEntryPath();
    QVERIFY(entry.startsWith(conf.dirPath()));
    QVERIFY(entry.endsWith(QStringLiteral("/autostart/Rivozur.desktop")));

    // Turning it off when there is nothing creates nothing.
    sauver_configuration();
    QVERIFY(!QFile::exists(entry));

    g_configuration.demarrage_os = true;
    sauver_configuration();
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    QVERIFY(text.contains(QStringLiteral("Type=Application\n")));
    QVERIFY(text.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath()
                          + QStringLiteral("\"\n")));

    g_configuration.demarrage_os = false;
    sauver_configuration();
    QVERIFY(!QFile::exists(entry));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "testsettings.moc"
