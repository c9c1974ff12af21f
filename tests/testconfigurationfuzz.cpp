// Damaged conf.ini files: the settings and every tool's items are loaded and
// stored again without a crash, a hang or a sanitizer report, and what the
// first run stores, the next one stores unchanged. The long run of the same
// inputs is bench/fuzzconfig.

#include "support/configurationfuzzer.h"
#include "support/testday.h"

#include <QtTest>

class TestConfigurationFuzz : public QObject
{
    Q_OBJECT

private slots:
    void damagedFiles_data();
    void damagedFiles();
    void seededSlice();
};

void TestConfigurationFuzz::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("input");
    // Items stored at the end, per array: alarm, timer, pasttime, stopwatch.
    QTest::addColumn<QList<int>>("stored");

    QTest::addRow("as typed by hand, all kept") << kTypedConfiguration << QList<int>{2, 2, 2, 2};
    QTest::addRow("NULs only") << QByteArray(64, '\0') << QList<int>{0, 0, 0, 0};
    QTest::addRow("cut inside an array")
        << QByteArray("[alarm]\n1\\h=7\n1\\m=30\n1\\title=Cut\nsize=2\n2\\h=8\n2\\ti")
        << QList<int>{2, 0, 0, 0};
    // The stopwatch would count past int twice over: from its own count, and
    // from a last save at the start of time.
    QTest::addRow("numbers past int, last saved at the start of time") << QByteArray(
        "[General]\ndate=\"@DateTime(\\0\\0\\0\\x10\\0\\xff\\xff\\xff\\xe7%; \\f\\x3\\x9a\\0\\0\\0)\"\n"
        "[alarm]\n1\\h=2147483647\n1\\m=-2147483648\n1\\active=true\nsize=1\n"
        "[stopwatch]\n1\\s=2147483647\n1\\ms=2147483647\n1\\active=true\n"
        "2\\s=99999999999999999999\n2\\ms=-2147483648\nsize=2\n") << QList<int>{1, 0, 0, 2};
    QTest::addRow("invalid dates") << QByteArray(
        "[General]\ndate=2026-13-45T25:61:61\n[timer]\n1\\date=9999999-12-31T23:59:59\n"
        "2\\date=@DateTime(garbage)\n3\\date=2027-01-01T00:00:00\nsize=3\n"
        "[pasttime]\n1\\date=0000-00-00T00:00:00\n1\\title=Zero\nsize=1\n")
                                   << QList<int>{0, 1, 1, 0};
    QTest::addRow("broken escapes and variants")
        << QByteArray("[alarm]\n1\\title=\\\n1\\message=X\n1\\file=@Variant(\\0\\0\\0\\x7f\\xff\n"
                      "2\\title=@ByteArray(\n2\\message=\\x{110000}\\xd800\nsize=2\n")
        << QList<int>{2, 0, 0, 0};
    // Read as is, it would be a list of two billion points.
    QTest::addRow("a date damaged into another type") << QByteArray(
        "[timer]\n1\\date=@DateTime(\\0\\0\\0V\\0\\x7f\\xff\\xff\\xff)\n1\\title=T\n"
        "2\\date=2027-01-01T00:00:00\n2\\title=\"@Variant(\\0\\0\\0V\\0\\x7f\\xff\\xff\\xff)\"\nsize=2\n") << QList<int>{0, 1, 0, 0};
    QTest::addRow("a megabyte of title") << QByteArray("[pasttime]\n1\\date=2026-01-01T00:00:00\n1\\title=")
            + QByteArray(1 << 20, 'x')
            + "\nsize=1\n" << QList<int>{0, 0, 1, 0};
}

void TestConfigurationFuzz::damagedFiles()
{
    QFETCH(QByteArray, input);
    TestDay day(QStringLiteral("10:00:00.003"));
    QVERIFY2(loadEverything(day.conf.path(), input), "the second run stored something else");
    const auto file = day.conf.read();
    QList<int> counts;
    for (const char* array : {"alarm", "timer", "pasttime", "stopwatch"}) {
        file->beginGroup(array);
        counts << int(file->childGroups().size());
        file->endGroup();
    }
    QTEST(counts, "stored");
}

void TestConfigurationFuzz::seededSlice()
{
    TestDay day(QStringLiteral("10:00:00.003"));
    // Every save goes through, however damaged the file it replaces: none
    // may be told as failed.
    QTest::failOnWarning(QRegularExpression("impossible d'enregistrer"));
    QCOMPARE(fuzzConfigurationLoad(day, 20261207, 300, 20), QList<int>());
}

QTEST_MAIN(TestConfigurationFuzz)
#include "testconfigurationfuzz.moc"
