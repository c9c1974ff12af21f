// The arrays in which alarms, countdowns, elapsed-time counters and
// stopwatches live in conf.ini from one run to the next.

#include "app/configuration.h"
#include "support/testday.h"
#include "support/uidriver.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"
#include "tools/stopwatches/fenetrechronometres.h"

#include <QtTest>
#include <QtWidgets>

class TestItemArrays : public QObject
{
    Q_OBJECT

private slots:
    void keptThroughTheRunThenReplaced_data();
    void keptThroughTheRunThenReplaced();
    void failedSaveIsReported();
};

void TestItemArrays::keptThroughTheRunThenReplaced_data()
{
    // The titles of the tabs made from the stored array, numbered from 1,
    // which the end of the run writes back, renumbered, when the tool's
    // switch is on.
    QTest::addColumn<QString>("array");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QStringList>("titles");

    for (const char* array : {"alarm", "timer", "pasttime", "stopwatch"}) {
        const QByteArray group = QByteArray("[") + array + "]\n";
        const QByteArray entries =
            "1\\date=2027-01-01T00:00:00\n1\\title=Un\n4\\date=2027-02-01T00:00:00\n4\\title=Quatre\n";
        const QStringList titles{"Un", "Quatre"};
        QTest::addRow("%s: the entries there, whatever the size says", array)
            << array << group + entries + "size=2000000000\n"
            << true << titles;
        // The stopwatches of the last run that kept them stay (their own test).
        if (qstrcmp(array, "stopwatch") != 0)
            QTest::addRow("%s: removed when the switch is off", array)
                << array << group + entries + "size=4\n"
                << false << titles;
        QTest::addRow("%s: only the names the array writes", array)
            << array << group + "01\\title=Zero\n1\\date=2027-01-01T00:00:00\n1\\title=Un\nsize=1\n"
            << true << QStringList{"Un"};
        QTest::addRow("%s: negative size", array) << array << group + "1\\title=Un\nsize=-3\n"
                                                  << true << QStringList{};
        QTest::addRow("%s: garbage", array) << array << group + "\x01size=\xff\n3\\=\n\x02[\x03\n"
                                            << true << QStringList{};
    }
}

void TestItemArrays::keptThroughTheRunThenReplaced()
{
    QFETCH(QString, array);
    QFETCH(QByteArray, stored);
    QFETCH(bool, keep);
    QFETCH(QStringList, titles);
    TestDay day(QStringLiteral("10:00:00.003"));
    QVERIFY(day.conf.write(stored + "[sonnerie]\ntype=2\n"));
    {
        QElapsedTimer loading;
        loading.start();
        const std::unique_ptr<QWidget> window(
            array == "alarm"           ? new FenetreAlarmes(nullptr)
                : array == "timer"     ? new FenetreComptesARebours(nullptr)
                : array == "stopwatch" ? new FenetreChronometres(nullptr)
                                       : static_cast<ToolWindow*>(new FenetreTempsEcoules(nullptr)));
        QCOMPARE_LT(loading.elapsed(), 2000);
        QCOMPARE(tabTexts(*window).replaceInStrings(QRegularExpression("^.* n°"), ""),
                 QStringList({"1", "2"}).mid(0, titles.size()));
        QStringList shown;
        for (const QWidget* title :
             window->findChildren<QWidget*>(QRegularExpression("^(m_label_|label_|m_)titre$")))
            shown << title->property("text").toString();
        QCOMPARE(shown, titles);
        QCOMPARE(toolTabs(*window)->currentIndex(), titles.size() - 1);
        // Killed now, the program would find its items at the next start.
        QCOMPARE(day.conf.contents(), stored + "[sonnerie]\ntype=2\n");
        Configuration& c = g_configuration;
        c.sauvegarde_alarmes = c.sauvegarde_car = c.sauvegarde_te = c.sauvegarde_chronos = keep;
    }
    const auto file = day.conf.read();
    QCOMPARE(file->value("sonnerie/type").toInt(), 2);
    QStringList saved;
    for (int i = 1; i <= file->value(array + "/size").toInt(); ++i)
        saved << file->value(QStringLiteral("%1/%2/title").arg(array).arg(i)).toString();
    QCOMPARE(saved, keep ? titles : QStringList());
    QCOMPARE(file->childGroups().contains(array), keep);
    QVERIFY(!day.conf.contents().contains("4\\title"));
}

void TestItemArrays::failedSaveIsReported()
{
    TestDay day(QStringLiteral("10:00:00.003"));
    setConfigurationFilePath(QStringLiteral("/dev/null/conf.ini"));
    QTest::ignoreMessage(QtWarningMsg,
                         "Clepsa : impossible d'enregistrer les réglages dans /dev/null/conf.ini");
    FenetreComptesARebours window(nullptr);
}

QTEST_MAIN(TestItemArrays)
#include "testitemarrays.moc"
