#include "support/testday.h"
#include "support/uidriver.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QtTest>
#include <QtWidgets>

class TestAlarms : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_day = std::make_unique<TestDay>(QStringLiteral("07:29:58.000")); }
    void cleanup() { m_day.reset(); }
    void ringing_data();
    void ringing();
    void alertsOfOneMinute();
    void dialogKeepsItsValuesAndCutsLongTexts();

private:
    std::unique_ptr<TestDay> m_day;
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
    QVERIFY(m_day->conf.write("[alarm]\n1\\h=7\n1\\m=30\n1\\title=Sport\n1\\message=Go\nsize=1\n"));
    const QString file = QCoreApplication::applicationFilePath();
    const QString other = m_day->conf.path();
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

        window.newAlarm(Alarme{7, 30, true, QStringLiteral("Sans exec"), QStringLiteral("Un"), false, file});
        window.newAlarm(Alarme{7, 30, true, QStringLiteral("Supprimé"), QStringLiteral("Jamais"), false, {}});
        window.newAlarm(Alarme{7, 30, false, QStringLiteral("Non"), QStringLiteral("Jamais"), false, {}});
        window.newAlarm(Alarme{7, 30, true, QStringLiteral("Exec"), QStringLiteral("Deux"), true, file});
        window.newAlarm(
            Alarme{7, 30, true, QStringLiteral("Disparu"), QStringLiteral("Trois"), true, file + ".parti"});
        window.newAlarm(Alarme{7, 30, true, QStringLiteral("Muet"), QString(), true, other});
        toolTabs(window)->setCurrentIndex(2);
        QVERIFY(triggerToolAction(window, "&Supprimer"));
        m_day->tick(QStringLiteral("07:30:00.003"));
    }
    // In creation order; an empty message shows no balloon, and a file is
    // opened only with execute and while it exists.
    QCOMPARE(m_day->balloons, (QStringList{"Sport: Go", "Sans exec: Un", "Exec: Deux", "Disparu: Trois"}));
    QCOMPARE(m_day->files.opened, (QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(other)}));
    QCOMPARE(m_day->conf.read()->value("alarm/1/active").toString(), QStringLiteral("true"));
}

void TestAlarms::dialogKeepsItsValuesAndCutsLongTexts()
{
    const QString file = QCoreApplication::applicationFilePath();
    {
        FenetreAlarmes window(nullptr);
        // Each use takes the hour one step up and a long text; the first one
        // is cancelled after a file is chosen, the second keeps that file
        // through a cancelled chooser.
        for (const bool confirm : {false, true}) {
            QVERIFY(answerNextDialog(
                [&] { QVERIFY(triggerToolAction(window, "&Nouveau")); },
                [&](QDialog& dialog) {
                    dialog.findChild<QScrollBar*>("m_scrollbar_heure")
                        ->triggerAction(QAbstractSlider::SliderSingleStepSub);
                    QTest::keyClicks(dialog.findChild<QLineEdit*>("m_lineedit_titre"),
                                     QStringLiteral(" dentiste"));
                    dialog.findChild<QLineEdit*>("m_lineedit_alerte")
                        ->setText(QStringLiteral(
                            "Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Bon🚆!"));
                    QVERIFY(answerNextDialog(
                        [&] { dialog.findChild<QPushButton*>("bouton_fichier_parcourir")->click(); },
                        [&](QDialog& chooser) { QVERIFY(answerFileChooser(chooser, file, !confirm)); }));
                    QTest::mouseClick(
                        dialog.findChild<QPushButton*>(confirm ? "bouton_ok" : "bouton_annuler"),
                        Qt::LeftButton);
                }));
        }
    }
    // Armed at 02:00; 15 and 70 characters, the train taking two UTF-16
    // units and staying whole.
    const auto saved = m_day->conf.read();
    QCOMPARE(saved->value("alarm/size").toInt(), 1);
    QCOMPARE(saved->value("alarm/1/h").toInt() * 100 + saved->value("alarm/1/m").toInt(), 200);
    QVERIFY(saved->value("alarm/1/active").toBool());
    QCOMPARE(saved->value("alarm/1/title").toString(), QStringLiteral("Titre... dentis"));
    QCOMPARE(saved->value("alarm/1/message").toString(),
             QStringLiteral("Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Bon🚆"));
    QCOMPARE(saved->value("alarm/1/file").toString(), file);
}

QTEST_MAIN(TestAlarms)
#include "testalarms.moc"
