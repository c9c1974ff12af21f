#include "support/testday.h"
#include "support/uidriver.h"
#include "tools/alarms/dialogconfigalarme.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

class TestAlarms : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_day = std::make_unique<TestDay>(QStringLiteral("07:29:58.000")); }
    void cleanup() { m_day.reset(); }
    void ringing_data();
    void ringing();
    void alertsOfOneMinute();
    void longTextsAreCut();
    void armedStateFollowsTheRadioButtons();
    void dialogStartsArmedAtMidnightAndKeepsItsValues();
    void cancelledChooserKeepsTheEarlierFile();

private:
    std::unique_ptr<TestDay> m_day;
};

static QScrollBar* bar(QDialog& dialog, const char* name)
{
    return dialog.findChild<QScrollBar*>(QLatin1String(name));
}

static QString shownTime(QDialog& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("m_label_heure"))->text();
}

void TestAlarms::ringing_data()
{
    // The page of a 07:30 alarm is made after the first check.
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<int>("alerts");

    QTest::addRow("once in its minute, also when second 0 is skipped")
        << QStringList{"07:29:58.000", "07:29:59.998", "07:30:01.004",
                       "07:30:02.004", "07:30:59.004", "07:31:00.004"}
        << 1;
    QTest::addRow("not at 08:30, again the next day")
        << QStringList{"07:29:58.000", "07:30:00.003", "07:31:00.003", "08:30:00.003", "+07:30:00.003"} << 2;
    QTest::addRow("made in its minute: at once, not again that minute, again the next day")
        << QStringList{"07:30:20.000", "07:30:21.003", "07:31:00.003", "+07:30:00.003"} << 2;
}

void TestAlarms::ringing()
{
    QFETCH(QStringList, times);
    QFETCH(int, alerts);
    m_day->tick(times.takeFirst());
    FenetreAlarmes window(nullptr);
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Réveil"), QStringLiteral("Debout"), false, {}});
    for (const QString& time : times)
        m_day->tick(time);
    QCOMPARE(m_day->balloons, QStringList(alerts, QStringLiteral("Réveil: Debout")));
}

void TestAlarms::alertsOfOneMinute()
{
    const QString file = QCoreApplication::applicationFilePath();
    const QString other = m_day->conf.path();
    QVERIFY(m_day->conf.write(""));
    FenetreAlarmes window(nullptr);
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Sans exec"), QStringLiteral("Un"), false, file});
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Supprimé"), QStringLiteral("Jamais"), false, {}});
    window.newAlarm(Alarme{7, 30, false, QStringLiteral("Non"), QStringLiteral("Jamais"), false, {}});
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Exec"), QStringLiteral("Deux"), true, file});
    window.newAlarm(
        Alarme{7, 30, true, QStringLiteral("Disparu"), QStringLiteral("Trois"), true, file + ".parti"});
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Muet"), QString(), true, other});
    toolTabs(window)->setCurrentIndex(1);
    QVERIFY(triggerToolAction(window, "&Supprimer"));
    m_day->tick(QStringLiteral("07:30:00.003"));

    // In creation order; an empty message shows no balloon, and a file is
    // opened only with execute and while it exists.
    QCOMPARE(m_day->balloons, (QStringList{"Sans exec: Un", "Exec: Deux", "Disparu: Trois"}));
    QCOMPARE(m_day->files.opened, (QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(other)}));
}

void TestAlarms::longTextsAreCut()
{
    {
        FenetreAlarmes window(nullptr);
        QVERIFY(answerNextDialog(
            [&] { QVERIFY(triggerToolAction(window, "&Nouveau")); },
            [](QDialog& dialog) {
                dialog.findChild<QLineEdit*>("m_lineedit_titre")
                    ->setText(QStringLiteral("Rendez-vous dentiste"));
                dialog.findChild<QLineEdit*>("m_lineedit_alerte")
                    ->setText(QStringLiteral(
                        "Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Bon🚆!"));
                QTest::mouseClick(dialog.findChild<QPushButton*>("bouton_ok"), Qt::LeftButton);
            }));
    }
    // 15 and 70 characters; the train takes two UTF-16 units and stays whole.
    const auto file = m_day->conf.read();
    QCOMPARE(file->value("alarm/1/title").toString(), QStringLiteral("Rendez-vous den"));
    QCOMPARE(file->value("alarm/1/message").toString(),
             QStringLiteral("Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Bon🚆"));
}

void TestAlarms::armedStateFollowsTheRadioButtons()
{
    QVERIFY(m_day->conf.write(
        "[alarm]\n1\\h=7\n1\\m=30\n1\\title=Sport\n1\\message=Go\n1\\active=false\nsize=1\n"));
    {
        FenetreAlarmes window(nullptr);
        window.show();
        QWidget* page = toolTabs(window)->widget(0);
        QVERIFY(page);
        const auto* bell = page->findChild<QLabel*>("m_cloche");
        QVERIFY(!window.hasActiveAlarm() && !bell->isVisible());

        QTest::mouseClick(page->findChild<QRadioButton*>("m_radio_active_oui"), Qt::LeftButton);
        QVERIFY(window.hasActiveAlarm() && bell->isVisible());
        m_day->tick(QStringLiteral("07:30:00.003"));
        QCOMPARE(m_day->balloons, QStringList{"Sport: Go"});
    }
    QCOMPARE(m_day->conf.read()->value("alarm/1/active").toString(), QStringLiteral("true"));
}

void TestAlarms::dialogStartsArmedAtMidnightAndKeepsItsValues()
{
    DialogConfigAlarme dialog;
    const Alarme a = dialog.getAlarme();
    QVERIFY(a.h == 0 && a.m == 0 && a.active && a.message.isEmpty() && !a.execute && a.file.isEmpty());
    QCOMPARE(a.title, QStringLiteral("Titre..."));

    // Neither "OK" nor "Annuler" clears what a use entered.
    for (const char* button : {"bouton_ok", "bouton_annuler"}) {
        QVERIFY(answerNextDialog(
            [&dialog] { dialog.exec(); },
            [button](QDialog& shown) {
                bar(shown, "m_scrollbar_heure")->triggerAction(QAbstractSlider::SliderSingleStepSub);
                QTest::keyClicks(shown.findChild<QLineEdit*>(QStringLiteral("m_lineedit_alerte")),
                                 QStringLiteral("!"));
                QTest::mouseClick(shown.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
            }));
    }
    QCOMPARE(shownTime(dialog), QStringLiteral("02:00"));
    QCOMPARE(dialog.getAlarme().message, QStringLiteral("!!"));
}

void TestAlarms::cancelledChooserKeepsTheEarlierFile()
{
    DialogConfigAlarme dialog;
    const QString file = QCoreApplication::applicationFilePath();
    auto* browse = dialog.findChild<QPushButton*>(QStringLiteral("bouton_fichier_parcourir"));
    for (const bool accept : {true, false}) {
        QVERIFY(
            answerNextDialog([browse] { QTest::mouseClick(browse, Qt::LeftButton); },
                             [&](QDialog& chooser) { QVERIFY(answerFileChooser(chooser, file, accept)); }));
        QCOMPARE(dialog.getAlarme().file, file);
    }
}

QTEST_MAIN(TestAlarms)
#include "testalarms.moc"
