// Countdowns and elapsed-time counters: their duration formats, pages and
// dialogs.

#include "support/testday.h"
#include "support/uidriver.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/durationformat.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

class TestTimers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void formats_data();
    void formats();
    void countdownRingsOnce_data();
    void countdownRingsOnce();
    void countdownDialog();
    void pendingCountdownsAreSaved();
    void counterCountsSinceItsStart_data();
    void counterCountsSinceItsStart();
    void counterDialogAndFormats();

private:
    void tick(const QString& time) { m_day->tick(time); }

    std::unique_ptr<TestDay> m_day;
};

// A label of the current page of a tool window.
static QString shown(QWidget& window, const char* label = "m_label_temps_restant")
{
    const QWidget* page = toolTabs(window)->currentWidget();
    return page ? page->findChild<QLabel*>(label)->text() : QString();
}

void TestTimers::initTestCase()
{
    // An English machine, where the start of a counter must still read French.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTimers::init()
{
    m_day = std::make_unique<TestDay>(QStringLiteral("10:00:00.003"));
}

void TestTimers::cleanup()
{
    m_day.reset();
}

void TestTimers::formats_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QStringList>("texts"); // in "j hh:mm:ss", "hh:mm:ss", "mm:ss" and "s"

    QTest::addRow("0") << qint64(0) << QStringList{"0j 00:00:00", "00:00:00", "00:00", "0"};
    QTest::addRow("59") << qint64(59) << QStringList{"0j 00:00:59", "00:00:59", "00:59", "59"};
    QTest::addRow("86399") << qint64(86399) << QStringList{"0j 23:59:59", "23:59:59", "1439:59", "86399"};
    QTest::addRow("93784") << qint64(93784) << QStringList{"1j 02:03:04", "26:03:04", "1563:04", "93784"};
    QTest::addRow("360000: all the digits")
        << qint64(360000) << QStringList{"4j 04:00:00", "100:00:00", "6000:00", "360000"};
    QTest::addRow("2147483647") << qint64(
        2147483647) << QStringList{"24855j 03:14:07", "596523:14:07", "35791394:07", "2147483647"};
    QTest::addRow("beyond 32 bits") << qint64(
        8589934592) << QStringList{"99420j 12:56:32", "2386092:56:32", "143165576:32", "8589934592"};
    QTest::addRow("-90: each field with its sign")
        << qint64(-90) << QStringList{"0j 00:-1:-30", "00:-1:-30", "-1:-30", "-90"};
    QTest::addRow("-5") << qint64(-5) << QStringList{"0j 00:00:-5", "00:00:-5", "00:-5", "-5"};
}

void TestTimers::formats()
{
    QFETCH(qint64, seconds);
    QFETCH(QStringList, texts);
    QStringList shown;
    for (const QString& format : durationFormatNames())
        shown << formatDuration(seconds, format);
    // Any other name shows the plain number.
    for (const QString& unknown : {QString(), QStringLiteral("J HH:MM:SS"), QStringLiteral("mm:ss ")})
        QCOMPARE(formatDuration(seconds, unknown), texts.last());
    QCOMPARE(shown, texts);
}

void TestTimers::countdownRingsOnce_data()
{
    // Made at 10:00:00.003; then a tick at a time, "s" for the format of plain
    // seconds, or "del" for "&Supprimer". The balloons, and what the page
    // shows after each step.
    QTest::addColumn<QDateTime>("target");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("seen");

    const QDateTime in5s = onTestDay(QStringLiteral("10:00:05.000"));
    QTest::addRow("zero in its target second, rings at the next tick, once")
        << in5s << QStringList{"10:00:04.003", "10:00:05.003", "10:00:06.003", "10:00:07.003"}
        << QStringList{"0j 00:00:01", "0j 00:00:00", "Pâtes: Prêt", "0j 00:00:00", "0j 00:00:00"};
    QTest::addRow("a change of format redraws zero and rings no more")
        << in5s << QStringList{"10:00:06.003", "s"} << QStringList{"Pâtes: Prêt", "0j 00:00:00", "0"};
    QTest::addRow("a deleted countdown never rings")
        << in5s << QStringList{"del", "10:00:06.003"} << QStringList{"", ""};
    QTest::addRow("more than 68 years ahead") << onTestDay(QStringLiteral("10:00:00.003")).addDays(26690)
                                              << QStringList{"s"} << QStringList{"2306016000"};
    QTest::addRow("no date at all rings at once")
        << QDateTime() << QStringList{"10:00:01.003"} << QStringList{"Pâtes: Prêt", "0j 00:00:00"};
}

void TestTimers::countdownRingsOnce()
{
    QFETCH(QDateTime, target);
    QFETCH(QStringList, steps);
    FenetreComptesARebours window(nullptr);
    window.show();
    window.newTimer(CompteARebours{target, QStringLiteral("Pâtes"), QStringLiteral("Prêt"), false, {}});
    QStringList seen = m_day->balloons;
    for (const QString& step : steps) {
        m_day->balloons.clear();
        if (step == QLatin1String("s"))
            window.findChild<QComboBox*>()->setCurrentText(step);
        else if (step == QLatin1String("del"))
            QVERIFY(triggerToolAction(window, "&Supprimer"));
        else
            tick(step);
        seen << m_day->balloons << shown(window);
    }
    QTEST(seen, "seen");
}

void TestTimers::countdownDialog()
{
    FenetreComptesARebours window(nullptr);
    window.show();
    const auto use = [&](const std::function<void(QDialog&)>& fill, const QString& confirmedAt) {
        QVERIFY(answerNextDialog([&] { window.openDialog(); },
                                 [&](QDialog& dialog) {
                                     fill(dialog);
                                     m_day->clock.setCurrentDateTime(onTestDay(confirmedAt));
                                     dialog.findChild<QPushButton*>("bouton_ok")->click();
                                 }));
    };
    const auto delay = [](QDialog& dialog, int h, int m, int s) {
        dialog.findChild<QRadioButton*>("m_radio_minuteur")->click();
        dialog.findChild<QSpinBox*>("m_spinbox_heures")->setValue(h);
        dialog.findChild<QSpinBox*>("m_spinbox_minutes")->setValue(m);
        dialog.findChild<QSpinBox*>("m_spinbox_secondes")->setValue(s);
    };

    // A delay of nothing, confirmed a while after the opening, with the box
    // ticked and no file: zero at once, a balloon at the next tick, no file.
    use(
        [&](QDialog& dialog) {
            delay(dialog, 0, 0, 0);
            dialog.findChild<QLineEdit*>("m_lineedit_alerte")->setText(QStringLiteral("Prêt"));
            dialog.findChild<QCheckBox*>("m_checkbox_executer_fichier")->setChecked(true);
        },
        QStringLiteral("10:00:00.600"));
    QCOMPARE(shown(window), QStringLiteral("0j 00:00:00"));
    tick(QStringLiteral("10:00:01.003"));
    QCOMPARE(m_day->balloons, QStringList{"Titre...: Prêt"});
    QVERIFY(m_day->files.opened.isEmpty());

    // The date at its earliest, the moment of showing, confirmed two seconds
    // later: it rings at once, with the texts and box kept from the first
    // use, and the file chosen before a cancelled chooser.
    const QString file = QCoreApplication::applicationFilePath();
    m_day->clock.setCurrentDateTime(onTestDay(QStringLiteral("11:30:00.000")));
    use(
        [&](QDialog& dialog) {
            const auto* edit = dialog.findChild<QDateTimeEdit*>("m_datetimeedit_date");
            QCOMPARE(edit->minimumDateTime(), onTestDay(QStringLiteral("11:30:00.000")));
            QCOMPARE(edit->dateTime(), edit->minimumDateTime());
            for (const bool accept : {true, false}) {
                QVERIFY(answerNextDialog(
                    [&] { dialog.findChild<QPushButton*>("bouton_fichier_parcourir")->click(); },
                    [&](QDialog& chooser) { QVERIFY(answerFileChooser(chooser, file, accept)); }));
            }
            dialog.findChild<QRadioButton*>("m_radio_date")->click();
        },
        QStringLiteral("11:30:02.000"));
    QCOMPARE(m_day->balloons.size(), 2);
    QCOMPARE(m_day->files.opened, QList<QUrl>{QUrl::fromLocalFile(file)});

    // The longest delay the dialog takes.
    use([&](QDialog& dialog) { delay(dialog, 99, 99, 99); }, QStringLiteral("11:30:05.000"));
    QCOMPARE(shown(window), QStringLiteral("4j 04:40:39"));
}

void TestTimers::pendingCountdownsAreSaved()
{
    // Stored: one gone by while the program was closed, one to come.
    QVERIFY(m_day->conf.write("[timer]\n1\\date=2026-12-05T09:00:00\n1\\title=Parti\n1\\message=Trop tard\n"
                              "2\\date=2026-12-05T12:00:00\n2\\title=Midi\nsize=2\n"));
    {
        FenetreComptesARebours window(nullptr);
        window.show();
        QCOMPARE(m_day->balloons, QStringList{"Parti: Trop tard"});
        toolTabs(window)->setCurrentIndex(0);
        QCOMPARE(shown(window), QStringLiteral("0j 00:00:00"));
        // After Midi, one that has expired by the end of the run, and one to come.
        window.newTimer(
            CompteARebours{onTestDay(QStringLiteral("10:00:02.000")), QStringLiteral("Bref"), {}, false, {}});
        window.newTimer(CompteARebours{
            onTestDay(QStringLiteral("13:00:00.000")), QString(40, u'T'), QString(80, u'M'), false, {}});
        m_day->clock.setCurrentDateTime(onTestDay(QStringLiteral("10:00:03.000")));
    }
    // The last keeps the first 35 characters of its title, 70 of its message.
    const auto file = m_day->conf.read();
    QCOMPARE(file->value("timer/size").toInt(), 2);
    QCOMPARE(file->value("timer/1/title").toString() + ' ' + file->value("timer/2/title").toString(),
             QStringLiteral("Midi ") + QString(35, u'T'));
    QCOMPARE(file->value("timer/2/message").toString(), QString(70, u'M'));
    QCOMPARE(file->value("timer/2/date").toDateTime(), onTestDay(QStringLiteral("13:00:00.000")));
}

void TestTimers::counterCountsSinceItsStart_data()
{
    // What a counter shows when made at 10:00:00.003, then at the next two ticks.
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("seen");

    const QDateTime now = onTestDay(QStringLiteral("10:00:00.000"));
    QTest::addRow("1 day 2 h 3 min 4 s")
        << now.addSecs(-93784) << "j hh:mm:ss" << QStringList{"1j 02:03:04", "1j 02:03:05", "1j 02:03:06"};
    QTest::addRow("the same in hours")
        << now.addSecs(-93784) << "hh:mm:ss" << QStringList{"26:03:04", "26:03:05", "26:03:06"};
    QTest::addRow("a start to come counts up through zero")
        << now.addSecs(1) << "mm:ss" << QStringList{"00:-1", "00:00", "00:01"};
    QTest::addRow("a start before 1970, in its whole second")
        << QDateTime(QDate(1969, 7, 20), QTime(20, 17, 40, 500), Qt::UTC) << "j hh:mm:ss"
        << QStringList{"20956j 13:42:20", "20956j 13:42:21", "20956j 13:42:22"};
    QTest::addRow("more than 68 years ago")
        << QDateTime(QDate(1900, 1, 1), QTime(0, 0), Qt::UTC) << "hh:mm:ss"
        << QStringList{"1112626:00:00", "1112626:00:01", "1112626:00:02"};
    QTest::addRow("no start at all") << QDateTime() << "s" << QStringList{"-", "-", "-"};
}

void TestTimers::counterCountsSinceItsStart()
{
    QFETCH(QDateTime, start);
    QFETCH(QString, format);
    FenetreTempsEcoules window(nullptr);
    window.show();
    window.findChild<QComboBox*>()->setCurrentText(format);
    window.newTE(TempsEcoule{start, QStringLiteral("Depuis quand ?")});
    QStringList seen{shown(window, "m_label_temps_ecoule")};
    for (const QString& time : {QStringLiteral("10:00:01.003"), QStringLiteral("10:00:02.003")}) {
        tick(time);
        seen << shown(window, "m_label_temps_ecoule");
    }
    QTEST(seen, "seen");
}

void TestTimers::counterDialogAndFormats()
{
    FenetreTempsEcoules counters(nullptr);
    FenetreComptesARebours countdowns(nullptr);
    counters.show();
    countdowns.show();
    countdowns.newTimer(
        CompteARebours{onTestDay(QStringLiteral("10:01:30.000")), QStringLiteral("Bientôt"), {}, false, {}});
    QStringList starts;
    for (const QString& shownAt : {QStringLiteral("10:00:00.000"), QStringLiteral("14:03:02.000")}) {
        m_day->clock.setCurrentDateTime(onTestDay(shownAt));
        QVERIFY(answerNextDialog([&] { counters.openDialog(); },
                                 [&](QDialog& dialog) {
                                     auto* edit = dialog.findChild<QDateTimeEdit*>("m_datetimeedit_date");
                                     QCOMPARE(edit->maximumDateTime(), onTestDay(shownAt));
                                     starts << edit->dateTime().toString(Qt::ISODate);
                                     // A start after the moment of showing is held to it.
                                     edit->setDateTime(onTestDay(shownAt).addSecs(3600));
                                     auto* title = dialog.findChild<QLineEdit*>("m_lineedit_titre");
                                     title->setText(title->text() + QLatin1Char('!'));
                                     dialog.findChild<QPushButton*>("bouton_ok")->click();
                                 }));
    }
    // 1 January 2008 at first; then what the first use left.
    QCOMPARE(starts, (QStringList{"2008-01-01T00:00:00", "2026-12-05T10:00:00"}));
    QCOMPARE(shown(counters, "label_titre"), QStringLiteral("Titre...!!"));
    QCOMPARE(shown(counters, "label_date"), QStringLiteral("Depuis le Samedi 05/12/2026 à 14:03:02"));

    // Shown again after a while out of sight, a counter is up to date; the
    // format of one window changes its pages only.
    counters.hide();
    tick(QStringLiteral("14:03:07.003"));
    counters.show();
    QCOMPARE(shown(counters, "m_label_temps_ecoule"), QStringLiteral("0j 00:00:05"));
    counters.findChild<QComboBox*>()->setCurrentText(QStringLiteral("s"));
    QCOMPARE(shown(counters, "m_label_temps_ecoule"), QStringLiteral("5"));
    QCOMPARE(shown(countdowns), QStringLiteral("0j 00:00:00"));
}

QTEST_MAIN(TestTimers)
#include "testtimers.moc"
