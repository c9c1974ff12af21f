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

    const QList<QByteArray> seeds = ConfigurationFuzzer::seeds();
    QTest::addRow("as the program writes it, all kept") << seeds.at(0) << QList<int>{1, 1, 1, 2};
    QTest::addRow("as typed by hand, all kept") << seeds.at(1) << QList<int>{2, 2, 2, 2};
    QTest::addRow("empty") << QByteArray() << QList<int>{0, 0, 0, 0};
    QTest::addRow("NULs only") << QByteArray(64, '\0') << QList<int>{0, 0, 0, 0};
    QTest::addRow("cut inside an array")
        << QByteArray("[alarm]\n1\\h=7\n1\\m=30\n1\\title=Cut\nsize=2\n2\\h=8\n2\\ti")
        << QList<int>{2, 0, 0, 0};
    QTest::addRow("sizes past int, negative, garbage")
        << QByteArray("[alarm]\n1\\title=A\nsize=2147483648\n[timer]\nsize=-2147483648\n"
                      "1\\date=2027-01-01T00:00:00\n[pasttime]\n1\\title=P\nsize=\xff\xfe\n")
        << QList<int>{0, 0, 0, 0};
    QTest::addRow("numbers past int in every tool")
        << QByteArray("[alarm]\n1\\h=2147483647\n1\\m=-2147483648\n1\\active=true\nsize=1\n"
                      "[stopwatch]\n1\\title=S\n1\\s=99999999999999999999\n1\\ms=-2147483648\nsize=1\n")
        << QList<int>{1, 0, 0, 1};
    QTest::addRow("running stopwatch at the largest count") << QByteArray(
        "[stopwatch]\n1\\title=Max\n1\\s=2147483647\n1\\ms=2147483647\n1\\active=true\nsize=1\n")
                                                            << QList<int>{0, 0, 0, 1};
    QTest::addRow("invalid dates") << QByteArray(
        "[General]\ndate=2026-13-45T25:61:61\n[timer]\n1\\date=9999999-12-31T23:59:59\n"
        "2\\date=@DateTime(garbage)\n3\\date=2027-01-01T00:00:00\nsize=3\n"
        "[pasttime]\n1\\date=0000-00-00T00:00:00\n1\\title=Zero\nsize=1\n")
                                   << QList<int>{0, 1, 1, 0};
    QTest::addRow("broken escapes and variants")
        << QByteArray("[alarm]\n1\\title=\\\n1\\message=X\n1\\file=@Variant(\\0\\0\\0\\x7f\\xff\n"
                      "2\\title=@ByteArray(\n2\\message=\\x{110000}\\xd800\nsize=2\n")
        << QList<int>{2, 0, 0, 0};
    QTest::addRow("an unclosed quote takes the rest of the file") << QByteArray(
        "[timer]\n1\\date=2027-01-01T00:00:00\nsize=1\n[alarm]\n1\\title=T\n1\\message=\"open\nsize=1\n")
                                                                  << QList<int>{0, 1, 0, 0};
    QTest::addRow("a section left open") << QByteArray(
        "[alarm\n1\\title=T\nsize=1\n[timer]\n1\\date=2027-01-01T00:00:00\n1\\title=X\nsize=1\n")
                                         << QList<int>{1, 1, 0, 0};
    QTest::addRow("NULs in a key and a value, read in part")
        << QByteArray("[pasttime]\n1\\date=2026-01-01T00:00:00\n1\\ti\0tle=P\n2\\title=Q\0R\nsize=2\n", 68)
        << QList<int>{0, 0, 2, 0};
    QTest::addRow("running stopwatch, last saved at the start of time") << QByteArray(
        "[General]\ndate=\"@DateTime(\\0\\0\\0\\x10\\0\\xff\\xff\\xff\\xe7%; \\f\\x3\\x9a\\0\\0\\0)\"\n"
        "[stopwatch]\n1\\title=Long\n1\\s=5\n1\\active=true\nsize=1\n") << QList<int>{0, 0, 0, 1};
    QTest::addRow("a megabyte of title") << QByteArray("[pasttime]\n1\\date=2026-01-01T00:00:00\n1\\title=")
            + QByteArray(1 << 20, 'x')
            + "\nsize=1\n" << QList<int>{0, 0, 1, 0};
}

void TestConfigurationFuzz::damagedFiles()
{
    QFETCH(QByteArray, input);
    QFETCH(QList<int>, stored);
    TestDay day(QStringLiteral("10:00:00.003"));
    QVERIFY2(loadEverything(day.conf.path(), input), "the second run stored something else");
    const auto file = day.conf.read();
    QList<int> counts;
    for (const char* array : {"alarm", "timer", "pasttime", "stopwatch"}) {
        file->beginGroup(array);
        counts << int(file->childGroups().size());
        file->endGroup();
    }
    QCOMPARE(counts, stored);
}

void TestConfigurationFuzz::seededSlice()
{
    TestDay day(QStringLiteral("10:00:00.003"));
    // Every save goes through, however damaged the file it replaces: none
    // may be told as failed.
    QTest::failOnWarning(QRegularExpression("impossible d'enregistrer"));
    const ConfigurationLoadReport report = fuzzConfigurationLoad(day, 20261207, 300, 20000);
    qInfo("%d inputs in %lld ms, the slowest (#%d) %lld ms", report.inputs, report.totalMs,
          report.slowestIndex, report.slowestMs);
    QCOMPARE(report.inputs, 300);
    QCOMPARE(report.unstable, QList<int>());
}

QTEST_MAIN(TestConfigurationFuzz)
#include "testconfigurationfuzz.moc"
