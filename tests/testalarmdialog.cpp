#include "support/uidriver.h"
#include "tools/alarms/dialogconfigalarme.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

class TestAlarmDialog : public QObject
{
    Q_OBJECT

private slots:
    void barsSetTheTimeWithinItsRange();
    void untouchedIsArmedMidnightAndValuesStayBetweenUses();
    void cancelledChooserKeepsTheEarlierFile();
};

static QScrollBar* bar(QDialog& dialog, const char* name)
{
    return dialog.findChild<QScrollBar*>(QLatin1String(name));
}

static QString shownTime(QDialog& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("m_label_heure"))->text();
}

void TestAlarmDialog::barsSetTheTimeWithinItsRange()
{
    DialogConfigAlarme dialog;
    dialog.show();
    QScrollBar* hours = bar(dialog, "m_scrollbar_heure");
    const auto press = [&](QAbstractSlider::SliderAction arrow, int times) {
        for (int i = 0; i < times; ++i) {
            hours->triggerAction(arrow);
            bar(dialog, "m_scrollbar_minute")->triggerAction(arrow);
        }
    };
    // The upper arrow of a vertical bar sits at its top.
    QTest::mouseClick(hours, Qt::LeftButton, Qt::NoModifier, QPoint(hours->width() / 2, 3));
    QCOMPARE(shownTime(dialog), QStringLiteral("01:00"));
    press(QAbstractSlider::SliderSingleStepAdd, 2);
    QCOMPARE(shownTime(dialog), QStringLiteral("00:00"));
    press(QAbstractSlider::SliderSingleStepSub, 70);
    QCOMPARE(shownTime(dialog), QStringLiteral("23:59"));
    QCOMPARE(formatAlarmTime(dialog.getAlarme().h, dialog.getAlarme().m), QStringLiteral("23:59"));
}

void TestAlarmDialog::untouchedIsArmedMidnightAndValuesStayBetweenUses()
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

void TestAlarmDialog::cancelledChooserKeepsTheEarlierFile()
{
    DialogConfigAlarme dialog;
    const QString file = QCoreApplication::applicationFilePath();
    auto* browse = dialog.findChild<QPushButton*>(QStringLiteral("bouton_fichier_parcourir"));
    for (const bool accept : {true, false}) {
        QVERIFY(answerNextDialog([browse] { QTest::mouseClick(browse, Qt::LeftButton); },
                                 [&](QDialog& chooser) {
                                     QVERIFY(qobject_cast<QFileDialog*>(&chooser));
                                     static_cast<QFileDialog&>(chooser).selectFile(file);
                                     accept ? chooser.accept() : chooser.reject();
                                 }));
        QCOMPARE(dialog.getAlarme().file, file);
    }
}

QTEST_MAIN(TestAlarmDialog)
#include "testalarmdialog.moc"
