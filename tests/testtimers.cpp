// Countdowns and elapsed-time counters: their duration formats, pages and
// dialogs.

#include "support/testday.h"
#include "support/uidriver.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/durationformat.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"

#include <QtTest>
#include <QtWidgets>

class TestTimers : public QObject
{
    Q_OBJECT

private slots:
    // An English machine, where the start of a counter must still read French.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void pagesFollowTheTicks_data();
    void pagesFollowTheTicks();
    void countdownsOfARun();
    void counterDialog();
};

// A label of the current page of a tool window; the time on it by default.
static QString shown(QWidget& window, const QString& label = QStringLiteral("^m_label_temps_"))
{
    const QWidget* page = toolTabs(window)->currentWidget();
    return page ? page->findChildren<QLabel*>(QRegularExpression(label)).value(0)->text() : QString();
}

void TestTimers::pagesFollowTheTicks_data()
{
    // A countdown to `date`, or a counter from it, made at 10:00:00.003 in a
    // shown window, in the format "j hh:mm:ss"; then a tick at a time, the
    // name of another format, "delete" the page, "hide" or "show" the
    // window. The balloons, and what the page shows while the window is,
    // at first and after each step.
    QTest::addColumn<bool>("countdown");
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("seen");

    const QDateTime in5s = onTestDay(QStringLiteral("10:00:05.000"));
    QTest::addRow("countdown: zero in its target second, rings at the next tick even hidden, once; "
                  "redrawn when shown and in a new format")
        << true << in5s << QStringList{"hide", "10:00:04.003", "show", "10:00:05.003", "hide", "10:00:06.003",
                                       "show", "10:00:07.003", "s"}
        << QStringList{
               "0j 00:00:05", "0j 00:00:01", "0j 00:00:00", "Pâtes: Prêt", "0j 00:00:00", "0j 00:00:00", "0"};
    QTest::addRow("countdown: deleted, never rings")
        << true << in5s << QStringList{"delete", "10:00:06.003"} << QStringList{"0j 00:00:05", "", ""};
    QTest::addRow("countdown: no date at all rings at once")
        << true << QDateTime() << QStringList{"10:00:01.003"}
        << QStringList{"Pâtes: Prêt", "0j 00:00:00", "0j 00:00:00"};

    const QDateTime now = onTestDay(QStringLiteral("10:00:00.000"));
    QTest::addRow("counter: every format; every tick; up to date when shown again")
        << false << now.addSecs(-93784)
        << QStringList{"hh:mm:ss", "mm:ss",        "s",   "10:00:01.003", "10:00:02.003",
                       "hide",     "10:00:05.003", "show"}
        << QStringList{"1j 02:03:04", "26:03:04", "1563:04", "93784", "93785", "93786", "93789"};
    QTest::addRow("counter: a start to come, each field with its sign")
        << false << now.addSecs(90) << QStringList{"hh:mm:ss", "mm:ss", "s", "10:00:01.003"}
        << QStringList{"0j 00:-1:-30", "00:-1:-30", "-1:-30", "-90", "-89"};
    // Counted from its whole second, 00:00:00.
    QTest::addRow("counter: from before 1970, more than 68 years ago, beyond 32 bits")
        << false << QDateTime(QDate(1900, 1, 1), QTime(0, 0, 0, 500), Qt::UTC) << QStringList{"s"}
        << QStringList{"46359j 10:00:00", "4005453600"};
    QTest::addRow("counter: no start at all")
        << false << QDateTime() << QStringList{"s"} << QStringList{"-", "-"};
}

void TestTimers::pagesFollowTheTicks()
{
    TestDay day(QStringLiteral("10:00:00.003"));
    QFETCH(bool, countdown);
    QFETCH(QDateTime, date);
    QFETCH(QStringList, steps);
    FenetreComptesARebours countdowns(nullptr);
    FenetreTempsEcoules counters(nullptr);
    ToolWindow& window = countdown ? static_cast<ToolWindow&>(countdowns) : counters;
    window.show();
    if (countdown)
        countdowns.newTimer(CompteARebours{date, QStringLiteral("Pâtes"), QStringLiteral("Prêt"), false, {}});
    else
        counters.newTE(TempsEcoule{date, QStringLiteral("Depuis quand ?")});
    QStringList seen = day.balloons + QStringList{shown(window)};
    for (const QString& step : steps) {
        day.balloons.clear();
        if (durationFormatNames().contains(step))
            window.findChild<QComboBox*>()->setCurrentText(step);
        else if (step.contains(':'))
            day.tick(step);
        else if (step == QLatin1String("delete"))
            window.remove();
        else
            window.setVisible(step == QLatin1String("show"));
        seen << day.balloons;
        if (window.isVisible())
            seen << shown(window);
    }
    QTEST(seen, "seen");
}

void TestTimers::countdownsOfARun()
{
    TestDay day(QStringLiteral("10:00:00.003"));
    // Stored: one gone by while the program was closed, one to come.
    QVERIFY(day.conf.write("[timer]\n1\\date=2026-12-05T09:00:00\n1\\title=Parti\n1\\message=Trop tard\n"
                           "2\\date=2026-12-05T12:00:00\n2\\title=Midi\nsize=2\n"));
    const QString file = QCoreApplication::applicationFilePath();
    {
        FenetreComptesARebours window(nullptr);
        window.show();
        QCOMPARE(day.balloons, QStringList{"Parti: Trop tard"});
        // The date at its earliest, the moment of showing, confirmed two
        // seconds later: it rings at once, opening the file chosen before a
        // cancelled chooser.
        day.clock.setCurrentDateTime(onTestDay(QStringLiteral("11:30:00.000")));
        QVERIFY(fillToolDialog(window, [&](QDialog& dialog) {
            QCOMPARE(dialog.findChild<QDateTimeEdit*>()->dateTime(),
                     onTestDay(QStringLiteral("11:30:00.000")));
            QVERIFY(chooseFile(dialog, "bouton_fichier_parcourir", file, true));
            QVERIFY(chooseFile(dialog, "bouton_fichier_parcourir", file, false));
            dialog.findChild<QLineEdit*>("m_lineedit_alerte")->setText(QStringLiteral("Prêt"));
            dialog.findChild<QCheckBox*>("m_checkbox_executer_fichier")->setChecked(true);
            dialog.findChild<QRadioButton*>("m_radio_date")->click();
            day.clock.setCurrentDateTime(onTestDay(QStringLiteral("11:30:02.000")));
        }));
        QCOMPARE(day.balloons.mid(1), QStringList{"Titre...: Prêt"});
        QCOMPARE(day.files.opened, QList<QUrl>{QUrl::fromLocalFile(file)});

        // The longest delay the dialog takes, from the moment it is
        // confirmed, and long texts.
        QVERIFY(fillToolDialog(window, [&](QDialog& dialog) {
            dialog.findChild<QRadioButton*>("m_radio_minuteur")->click();
            for (const char* spinBox : {"m_spinbox_heures", "m_spinbox_minutes", "m_spinbox_secondes"})
                dialog.findChild<QSpinBox*>(spinBox)->setValue(99);
            dialog.findChild<QLineEdit*>("m_lineedit_titre")->setText(QString(40, u'T'));
            dialog.findChild<QLineEdit*>("m_lineedit_alerte")->setText(QString(80, u'M'));
            day.clock.setCurrentDateTime(onTestDay(QStringLiteral("11:30:05.000")));
        }));
        QCOMPARE(shown(window), QStringLiteral("4j 04:40:39"));

        // No delay at all: zero through the second it was confirmed in, and
        // it rings at the next tick.
        QVERIFY(fillToolDialog(window, [&](QDialog& dialog) {
            dialog.findChild<QRadioButton*>("m_radio_minuteur")->click();
            for (const char* spinBox : {"m_spinbox_heures", "m_spinbox_minutes", "m_spinbox_secondes"})
                dialog.findChild<QSpinBox*>(spinBox)->setValue(0);
            dialog.findChild<QLineEdit*>("m_lineedit_alerte")->setText(QStringLiteral("Zéro"));
        }));
        day.tick(QStringLiteral("11:30:05.990"));
        QCOMPARE(shown(window) + ' ' + QString::number(day.balloons.size()), QStringLiteral("0j 00:00:00 2"));

        // One whose second is over when the run ends before the tick that
        // would ring it.
        window.newTimer(CompteARebours{onTestDay("11:30:06.200"), "Juste", {}, false, {}});
        day.tick(QStringLiteral("11:30:06.000"));
        QCOMPARE(day.balloons.mid(2), QStringList{QString(35, u'T') + ": Zéro"});
        day.clock.setCurrentDateTime(onTestDay(QStringLiteral("11:30:07.500")));
    }
    // Those that rang are done with; the long texts keep their first 35 and
    // 70 characters.
    const auto stored = day.conf.read();
    QStringList saved;
    for (const char* key : {"size", "1/title", "2/title", "2/message", "2/date", "3/title"})
        saved << stored->value(QStringLiteral("timer/") + key).toString();
    QCOMPARE(
        saved,
        (QStringList{"3", "Midi", QString(35, u'T'), QString(70, u'M'), "2026-12-09T16:10:44.000", "Juste"}));
}

void TestTimers::counterDialog()
{
    TestDay day(QStringLiteral("10:00:00.003"));
    FenetreTempsEcoules window(nullptr);
    window.show();
    QStringList starts;
    for (const QString& shownAt : {QStringLiteral("10:00:00.000"), QStringLiteral("14:03:02.000")}) {
        day.clock.setCurrentDateTime(onTestDay(shownAt));
        QVERIFY(fillToolDialog(window, [&](QDialog& dialog) {
            auto* edit = dialog.findChild<QDateTimeEdit*>();
            starts << edit->dateTime().toString(Qt::ISODate);
            // A start after the moment of showing is held to it.
            edit->setDateTime(onTestDay(shownAt).addSecs(3600));
            auto* title = dialog.findChild<QLineEdit*>("m_lineedit_titre");
            title->setText(title->text() + QString(20, u'!'));
        }));
    }
    // 1 January 2008 at first; then what the first use left. The title
    // keeps its first 35 characters.
    QCOMPARE(starts, (QStringList{"2008-01-01T00:00:00", "2026-12-05T10:00:00"}));
    QCOMPARE(shown(window, "^label_titre$"), QStringLiteral("Titre...") + QString(27, u'!'));
    QCOMPARE(shown(window, "^label_date$"), QStringLiteral("Depuis le Samedi 05/12/2026 à 14:03:02"));
}

QTEST_MAIN(TestTimers)
#include "testtimers.moc"
