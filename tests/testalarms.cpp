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
