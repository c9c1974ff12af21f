#include "support/testday.h"
#include "support/uidriver.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QtTest>
#include <QtWidgets>

class TestAlarms : public QObject
{
    Q_OBJECT

private slots:
    void aDayOfAlarms();
    void missedAlarmsAreToldOnce_data();
    void missedAlarmsAreToldOnce();
    void aWeekOfChosenDaysAndRepeats();
};

void TestAlarms::aDayOfAlarms()
{
    TestDay day(QStringLiteral("07:29:58.000"));
    QVERIFY(day.conf.write("[alarm]\n1\\h=7\n1\\m=30\n1\\title=Sport\n1\\message=Go\nsize=1\n"));
    const QString file = QCoreApplication::applicationFilePath();
    const QString other = day.conf.path();
    const QString message = "Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Bon🚆";
    {
        FenetreAlarmes window(nullptr);
        window.show();
        // Stored unarmed, then armed with "Oui".
        const QWidget* page = toolTabs(window)->widget(0);
        QVERIFY(page);
        QTest::mouseClick(page->findChild<QRadioButton*>("m_radio_active_oui"), Qt::LeftButton);
        QVERIFY(page->findChild<QLabel*>("m_cloche")->isVisible());

        window.newAlarm(Alarme{7, 30, true, "Sans exec", "Un", false, file});
        window.newAlarm(Alarme{7, 30, true, "Supprimé", "Jamais", false, {}});
        window.newAlarm(Alarme{7, 30, false, "Non", "Jamais", false, {}});
        window.newAlarm(Alarme{7, 30, true, "Exec", "Deux", true, file});
        window.newAlarm(Alarme{7, 30, true, "Disparu", "Trois", true, file + ".parti"});
        window.newAlarm(Alarme{7, 30, true, "Muet", QString(), true, other});
        toolTabs(window)->setCurrentIndex(2);
        window.remove();
        // Second 0 skipped: each rings once in its minute, and one made in
        // that minute at once; not again that minute, nor at 07:31 or 08:30,
        // but again the next day.
        for (const char* time : {"07:29:59.998", "07:30:01.004", "07:30:02.004"})
            day.tick(time);
        window.newAlarm(Alarme{7, 30, true, "Tard", "Vite", false, {}});
        for (const char* time : {"07:30:59.004", "07:31:00.004", "08:30:00.003", "+07:30:00.003"})
            day.tick(time);
        // Switched off after it rang, and stored so.
        QTest::mouseClick(toolTabs(window)->widget(6)->findChild<QRadioButton*>("m_radio_active_non"),
                          Qt::LeftButton);

        // The dialog: each use takes the hour one step up and a long text;
        // the first is cancelled after a file is chosen, the second keeps
        // that file through a cancelled chooser.
        for (const bool confirm : {false, true}) {
            QVERIFY(fillToolDialog(
                window,
                [&](QDialog& dialog) {
                    dialog.findChild<QScrollBar*>("m_scrollbar_heure")
                        ->triggerAction(QAbstractSlider::SliderSingleStepSub);
                    QTest::keyClicks(dialog.findChild<QLineEdit*>("m_lineedit_titre"), " dentiste");
                    dialog.findChild<QLineEdit*>("m_lineedit_alerte")->setText(message + "!");
                    QVERIFY(chooseFile(dialog, "bouton_fichier_parcourir", file, !confirm));
                    for (const char* weekend : {"m_bouton_jour_6", "m_bouton_jour_7"}) {
                        if (!confirm)
                            dialog.findChild<QToolButton*>(weekend)->click();
                    }
                },
                confirm ? "bouton_ok" : "bouton_annuler"));
        }
    }
    // In creation order; an empty message shows no balloon, and a file is
    // opened only with execute and while it exists.
    const QStringList rung{"Sport: Go", "Sans exec: Un", "Exec: Deux", "Disparu: Trois", "Tard: Vite"};
    QCOMPARE(day.balloons, rung + rung);
    const QList<QUrl> opened{QUrl::fromLocalFile(file), QUrl::fromLocalFile(other)};
    QCOMPARE(day.files.opened, opened + opened);
    // Numbered again without the deleted one; the last from the dialog,
    // armed at 02:00 with 15 and 70 characters, the train taking two UTF-16
    // units and staying whole, on weekdays (the toggles too are kept from a
    // cancelled dialog).
    const auto stored = day.conf.read();
    QStringList saved;
    for (const char* key : {"size", "1/active", "7/active", "8/h", "8/m", "8/active", "8/title", "8/message",
                            "8/file", "8/jours"})
        saved << stored->value(QStringLiteral("alarm/") + key).toString();
    QCOMPARE(
        saved,
        (QStringList{"8", "true", "false", "2", "0", "true", "Titre... dentis", message, file, "12345"}));
}

void TestAlarms::missedAlarmsAreToldOnce_data()
{
    // The last save in conf.ini, the checks after the window is made at 10:00
    // on 5 December ("build": its pages are built), and every balloon of the
    // run.
    QTest::addColumn<QString>("lastSave");
    QTest::addColumn<QStringList>("ticks");
    QTest::addColumn<QStringList>("balloons");

    const QString now = "Pile: Maintenant";
    QTest::addRow("closed overnight: those after the last save, in time order")
        << "2026-12-04T22:00:00" << QStringList{"build"}
        << QStringList{"Alarmes manquées: 23:00 Coucher\n07:30 Lever : Train", now};
    QTest::addRow("closed for days: the last 24 hours")
        << "2026-12-02T08:00:00" << QStringList{"build"}
        << QStringList{
               "Alarmes manquées: 11:00 Midi : Manger\n21:00 Soir\n23:00 Coucher\n07:30 Lever : Train", now};
    QTest::addRow("no save yet, or one to come (a clock set back)")
        << "2026-12-05T12:00:00" << QStringList{"build"} << QStringList{now};
    QTest::addRow("one, three hours forward while running, then back one")
        << "" << QStringList{"build",        "10:00:01.003", "13:00:00.003",
                             "13:00:01.003", "12:00:00.003", "12:01:00.003"}
        << QStringList{now, "Alarme manquée: 11:00 Midi : Manger"};
    QTest::addRow("an hour forward before the pages are built: the hour's rings once")
        << "" << QStringList{"10:00:01.003", "11:00:00.003", "build", "11:00:30.003"}
        << QStringList{"Midi: Manger"};
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
    FenetreAlarmes window(nullptr, ToolWindow::StoredPages::Later);
    // Armed ones wait for their pages: the bell is on already.
    QVERIFY(window.hasActiveAlarm());
    for (const QString& time : ticks) {
        if (time == "build")
            window.buildStoredPages();
        else
            day.tick(time);
    }
    QTEST(day.balloons, "balloons");
    QVERIFY(day.files.opened.isEmpty());
}

void TestAlarms::aWeekOfChosenDaysAndRepeats()
{
    // Saturday 5 December, closed since Friday night.
    TestDay day(QStringLiteral("10:00:00.003"));
    QVERIFY(day.conf.write(
        "date=2026-12-04T23:00:00\n[alarm]\n"
        "1\\h=7\n1\\m=30\n1\\active=true\n1\\title=Semaine\n1\\message=Bureau\n1\\jours=12345\n"
        "2\\h=9\n2\\m=0\n2\\active=true\n2\\title=Vendredi\n2\\message=Marché\n2\\jours=5\n"
        "3\\h=8\n3\\m=0\n3\\active=true\n3\\title=Repos\n3\\message=Dormir\n3\\jours=76\n"
        "size=3\n"));
    const auto label = [](FenetreAlarmes& window, int page) {
        return toolTabs(window)->widget(page)->findChild<QLabel*>("m_label_jours")->text();
    };
    {
        FenetreAlarmes window(nullptr);
        window.show();
        // This morning's weekday alarms did not ring on a Saturday.
        QCOMPARE(day.balloons, QStringList{"Alarme manquée: 08:00 Repos : Dormir"});
        QCOMPARE(QStringList({label(window, 0), label(window, 1), label(window, 2)}),
                 QStringList({"Du lundi au vendredi", "Ven", "Samedi et dimanche"}));
        QCOMPARE(window.nextAlarmLine(), "Prochaine alarme : demain 08:00 Repos");
        QTest::mouseClick(toolTabs(window)->widget(2)->findChild<QRadioButton*>("m_radio_active_non"),
                          Qt::LeftButton);
        QCOMPARE(window.nextAlarmLine(), "Prochaine alarme : lundi 07:30 Semaine");
        // Thursday, then Friday, with a repeat asked of each.
        day.tick("+5 09:00:00.003");
        day.tick("+6 07:30:00.003");
        day.repeat(10);
        QCOMPARE(window.nextAlarmLine(), "Prochaine alarme : 07:40 Semaine");
        day.tick("+6 07:40:00.003");
        day.tick("+6 09:00:00.003");
        day.repeat(5);
    }
    // Thursday comes as after a sleep: that morning's weekday alarm was
    // missed, the Friday one was not.
    QCOMPARE(day.balloons.mid(1),
             QStringList({"Alarme manquée: 07:30 Semaine : Bureau", "Semaine: Bureau", "Semaine: Bureau",
                          "Vendredi: Marché"}));
    auto stored = day.conf.read();
    QCOMPARE(stored->value("alarm/1/jours").toString(), "12345");
    QVERIFY(!stored->contains("alarm/1/repetition"));
    QCOMPARE(stored->value("alarm/2/repetition").toDateTime(), onTestDay("+6 09:05:00.000"));

    // Started again while it is pending, it rings; asked again, then closed
    // over its time, it is reported.
    const auto closedAt = [&](const char* time) {
        stored->setValue("date", onTestDay(time));
        stored->sync();
    };
    day.balloons.clear();
    closedAt("+6 09:02:00.000");
    day.tick("+6 09:03:00.003");
    {
        FenetreAlarmes window(nullptr);
        day.tick("+6 09:05:00.003");
        day.repeat(5);
    }
    closedAt("+6 09:06:00.000");
    day.tick("+6 09:30:00.003");
    FenetreAlarmes window(nullptr);
    QCOMPARE(day.balloons,
             QStringList({"Vendredi: Marché", "Alarme manquée: 09:10 Vendredi (répétition) : Marché"}));
}

QTEST_MAIN(TestAlarms)
#include "testalarms.moc"
