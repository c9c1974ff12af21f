#include "support/testday.h"
#include "support/uidriver.h"
#include "tools/stopwatches/fenetrechronometres.h"
#include "tools/stopwatches/widgetchronometre.h"

#include <QtTest>
#include <QtWidgets>

class TestStopwatches : public QObject
{
    Q_OBJECT

private slots:
    void countsPausesResetsAndExports();
    void runsOnWhileTheProgramIsClosed_data();
    void runsOnWhileTheProgramIsClosed();
};

// "00:00:03 57 [play]", and the laps.
static QString shown(const QWidget& page)
{
    const auto picture = [](const QIcon& icon) { return icon.pixmap(16).toImage(); };
    const QImage start = picture(page.findChild<QPushButton*>("bouton_start")->icon());
    QString text = page.findChild<QLabel*>("m_label_temps")->text() + ' '
        + page.findChild<QLabel*>("m_label_ms")->text();
    for (const QString name : {"play", "pause"})
        text += start == picture(QIcon(":/ressources/" + name + ".png")) ? " [" + name + ']' : QString();
    for (const QListWidgetItem* lap : page.findChild<QListWidget*>()->findItems("*", Qt::MatchWildcard))
        text += ' ' + lap->text();
    return text;
}

void TestStopwatches::countsPausesResetsAndExports()
{
    TestDay day(QStringLiteral("10:00:00.000"));
    WidgetChronometre page;
    QStringList seen{shown(page) + ' ' + page.getChronometre().title};
    // A slot of the page (start or pause, lap, reset), or milliseconds pass.
    for (const QString& step :
         QStringList{"start", "3570", "start", "5000", "save", "start", "430", "raz", "1000"}) {
        if (step.front().isDigit())
            day.clock.advanceMsecs(step.toInt());
        else
            QVERIFY(QMetaObject::invokeMethod(&page, qPrintable(step)));
        page.refresh();
        seen << shown(page);
    }
    QCOMPARE(seen,
             (QStringList{"00:00:00 00 [play] Titre...", "00:00:00 00 [pause]", "00:00:03 57 [pause]",
                          "00:00:03 57 [play]", "00:00:03 57 [play]", "00:00:03 57 [play] 00:00:03,57",
                          "00:00:03 57 [pause] 00:00:03,57", "00:00:04 00 [pause] 00:00:03,57",
                          "00:00:00 00 [play] 00:00:03,57", "00:00:00 00 [play] 00:00:03,57"}));

    page.save();
    const QString path = day.conf.dirPath() + QStringLiteral("/tours.txt");
    QVERIFY(chooseFile(page, "bouton_exporter", path, true));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("00:00:03,57 \n00:00:00,00 \n"));
    // A cancelled choice, or a file that cannot be written, writes nothing.
    QVERIFY(chooseFile(page, "bouton_exporter", path + QStringLiteral(".autre"), false));
    QVERIFY(!QFile::exists(path + QStringLiteral(".autre")));
    QVERIFY(!writeLaps(QStringLiteral("/dev/null/tours.txt"), {QStringLiteral("00:00:03,57")}));
}

void TestStopwatches::runsOnWhileTheProgramIsClosed_data()
{
    // The settings were last saved at `lastSave`, with the first stopwatch
    // running at `seconds` and 25 hundredths; it is 10:00:00 now. Seen: the
    // pages, built 2 s after they are read, which counts too; then the title
    // and seconds of the first, stored a second later.
    QTest::addColumn<QString>("lastSave");
    QTest::addColumn<QByteArray>("seconds");
    QTest::addColumn<QStringList>("seen");

    QTest::addRow("an hour closed, the hours shown wrapping after 99")
        << "2026-12-05T09:00:00" << QByteArray("359999")
        << QStringList{"01:00:01 25 [pause]", "00:00:07 50 [play]", "Course à pied", "363602"};
    QTest::addRow("a last save to come adds nothing")
        << "2026-12-05T11:00:00" << QByteArray("359999")
        << QStringList{"00:00:01 25 [pause]", "00:00:07 50 [play]", "Course à pied", "360002"};
    QTest::addRow("counted past the most the file holds: kept at the most")
        << "2026-12-05T10:00:00" << QByteArray("2147483647")
        << QStringList{"23:14:07 99 [pause]", "00:00:07 50 [play]", "Course à pied", "2147483647"};
}

void TestStopwatches::runsOnWhileTheProgramIsClosed()
{
    QFETCH(QString, lastSave);
    QFETCH(QByteArray, seconds);
    TestDay day(QStringLiteral("10:00:00.000"));
    // A running one, a paused one.
    QVERIFY(day.conf.write("date=" + lastSave.toUtf8()
                           + "\nchronos=1\n[stopwatch]\n1\\title=Course\n1\\s=" + seconds
                           + "\n1\\ms=25\n1\\active=true\n"
                             "2\\title=Pause\n2\\s=7\n2\\ms=50\n2\\active=false\nsize=2\n"));
    QStringList seen;
    {
        FenetreChronometres window(nullptr, ToolWindow::StoredPages::Later);
        day.clock.advanceMsecs(2000);
        QTabWidget* tabs = toolTabs(window);
        for (int i = 0; i < tabs->count(); ++i)
            seen << shown(*tabs->widget(i));
        day.clock.advanceMsecs(1000);
        // An old key that nothing reads any more is gone.
        QVERIFY(!day.conf.read()->contains("chronos"));
        // The title its field shows is saved.
        tabs->widget(0)->findChild<QLineEdit*>("m_titre")->setText("Course à pied");
    }
    const auto file = day.conf.read();
    QTEST(seen << file->value("stopwatch/1/title").toString() << file->value("stopwatch/1/s").toString(),
          "seen");
}

QTEST_MAIN(TestStopwatches)
#include "teststopwatches.moc"
