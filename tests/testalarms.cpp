#include "support/testday.h"
#include "support/uidriver.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QtTest>
#include <QtWidgets>

class TestAlarms : public QObject
{
    Q_OBJECT

private slots:
    void ringing_data();
    void ringing();
    void alertsOfOneMinute();
    void missedAlarmsAreToldOnce_data();
    void missedAlarmsAreToldOnce();
    void dialogKeepsItsValuesAndCutsLongTexts();
};

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
    TestDay day(QStringLiteral("07:29:58.000"));
    QFETCH(QStringList, times);
    QFETCH(int, alerts);
    day.tick(times.takeFirst());
    FenetreAlarmes window(nullptr);
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Réveil"), QStringLiteral("Debout"), false, {}});
    for (const QString& time : times)
        day.tick(time);
    QCOMPARE(day.balloons, QStringList(alerts, QStringLiteral("Réveil: Debout")));
}

void TestAlarms::alertsOfOneMinute()
{
    TestDay day(QStringLiteral("07:29:58.000"));
    QVERIFY(day.conf.write("[alarm]\n1\\h=7\n1\\m=30\n1\\title=Sport\n1\\message=Go\nsize=1\n"));
    const QString file = QCoreApplication::applicationFilePath();
    const QString other = day.conf.path();
    {
        FenetreAlarmes window(nullptr);
        window.show();
        // Stored unarmed, then armed with "Oui".
        const QWidget* page = toolTabs(window)->widget(0);
        QVERIFY(page);
        const auto* bell = page->findChild<QLabel*>("m_cloche");
        QVERIFY(!window.hasActiveAlarm() && !bell->isVisible());
        QTest::mouseClick(page->findChild<QRadioButton*>("m_radio_active_oui"), Qt::LeftButton);
        QVERIFY(window.hasActiveAlarm() && bell->isVisible());

        window.newAlarm(Alarme{7, 30, true, "Sans exec", "Un", false, file});
        window.newAlarm(Alarme{7, 30, true, "Supprimé", "Jamais", false, {}});
        window.newAlarm(Alarme{7, 30, false, "Non", "Jamais", false, {}});
        window.newAlarm(Alarme{7, 30, true, "Exec", "Deux", true, file});
        window.newAlarm(Alarme{7, 30, true, "Disparu", "Trois", true, file + ".parti"});
        window.newAlarm(Alarme{7, 30, true, "Muet", QString(), true, other});
        toolTabs(window)->setCurrentIndex(2);
        QVERIFY(triggerToolAction(window, "&Supprimer"));
        day.tick(QStringLiteral("07:30:00.003"));
    }
    // In creation order; an empty message shows no balloon, and a file is
    // opened only with execute and while it exists.
    QCOMPARE(day.balloons, (QStringList{"Sport: Go", "Sans exec: Un", "Exec: Deux", "Disparu: Trois"}));
    QCOMPARE(day.files.opened, (QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(other)}));
    QCOMPARE(day.conf.read()->value("alarm/1/active").toString(), QStringLiteral("true"));
}

void TestAlarms::missedAlarmsAreToldOnce_data()
{
    // The last save in conf.ini, the checks after the window is made at 10:00
    // on 5 December, and every balloon of the run.
    QTest::addColumn<QString>("lastSave");
    QTest::addColumn<QStringList>("ticks");
    QTest::addColumn<QStringList>("balloons");

    const QString now = "Pile: Maintenant";
    QTest::addRow("closed overnight: those after the last save, in time order")
        << "2026-12-04T22:00:00" << QStringList{}
        << QStringList{"Alarmes manquées: 23:00 Coucher\n07:30 Lever : Train", now};
    QTest::addRow("closed for days: the last 24 hours")
        << "2026-12-02T08:00:00" << QStringList{}
        << QStringList{
               "Alarmes manquées: 11:00 Midi : Manger\n21:00 Soir\n23:00 Coucher\n07:30 Lever : Train", now};
    QTest::addRow("one") << "2026-12-05T07:00:00" << QStringList{}
                         << QStringList{"Alarme manquée: 07:30 Lever : Train", now};
    QTest::addRow("no save yet, or one to come (a clock set back)")
        << "2026-12-05T12:00:00" << QStringList{} << QStringList{now};
    QTest::addRow("three hours forward while running, then back one")
        << "" << QStringList{"10:00:01.003", "13:00:00.003", "13:00:01.003", "12:00:00.003", "12:01:00.003"}
        << QStringList{now, "Alarme manquée: 11:00 Midi : Manger"};
}

void TestAlarms::missedAlarmsAreToldOnce()
{
    QFETCH(QString, lastSave);
    QFETCH(QStringList, ticks);
    TestDay day(QStringLiteral("10:00:00.003"));
    // Armed but for Repos; Lever would open a file if it rang in its minute.
    QVERIFY(day.conf.write("date=" + lastSave.toUtf8()
                           + "\n[alarm]\n"
                             "1\\h=7\n1\\m=30\n1\\active=true\n1\\title=Lever\n1\\message=Train\n"
                             "1\\execute=true\n1\\file="
                           + day.conf.path().toUtf8()
                           + "\n"
                             "2\\h=23\n2\\m=0\n2\\active=true\n2\\title=Coucher\n"
                             "3\\h=6\n3\\m=0\n3\\active=false\n3\\title=Repos\n"
                             "4\\h=21\n4\\m=0\n4\\active=true\n4\\title=Soir\n"
                             "5\\h=11\n5\\m=0\n5\\active=true\n5\\title=Midi\n5\\message=Manger\n"
                             "6\\h=10\n6\\m=0\n6\\active=true\n6\\title=Pile\n6\\message=Maintenant\n"
                             "size=6\n"));
    FenetreAlarmes window(nullptr);
    for (const QString& time : ticks)
        day.tick(time);
    QTEST(day.balloons, "balloons");
    QVERIFY(day.files.opened.isEmpty());
}

void TestAlarms::dialogKeepsItsValuesAndCutsLongTexts()
{
    TestDay day(QStringLiteral("07:29:58.000"));
    const QString message =
        QStringLiteral("Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Bon🚆");
    const QString file = QCoreApplication::applicationFilePath();
    {
        FenetreAlarmes window(nullptr);
        // Each use takes the hour one step up and a long text; the first one
        // is cancelled after a file is chosen, the second keeps that file
        // through a cancelled chooser.
        for (const bool confirm : {false, true}) {
            const auto fill = [&](QDialog& dialog) {
                dialog.findChild<QScrollBar*>("m_scrollbar_heure")
                    ->triggerAction(QAbstractSlider::SliderSingleStepSub);
                QTest::keyClicks(dialog.findChild<QLineEdit*>("m_lineedit_titre"), " dentiste");
                dialog.findChild<QLineEdit*>("m_lineedit_alerte")->setText(message + "!");
                QVERIFY(chooseFile(dialog, "bouton_fichier_parcourir", file, !confirm));
            };
            QVERIFY(fillToolDialog(window, fill, confirm ? "bouton_ok" : "bouton_annuler"));
        }
    }
    // Armed at 02:00; 15 and 70 characters, the train taking two UTF-16
    // units and staying whole.
    const auto stored = day.conf.read();
    QStringList saved;
    for (const char* key : {"size", "1/h", "1/m", "1/active", "1/title", "1/message", "1/file"})
        saved << stored->value(QStringLiteral("alarm/") + key).toString();
    QCOMPARE(saved, (QStringList{"1", "2", "0", "true", "Titre... dentis", message, file}));
}

QTEST_MAIN(TestAlarms)
#include "testalarms.moc"
