#include "tools/alarms/dialogconfigalarme.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

class TestAlarmDialog : public QObject
{
    Q_OBJECT

private slots:
    void barsSetTheTimeWithinItsRange();
    void sameWheelStepMovesHourAndMinuteOppositeWays();
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

void TestAlarmDialog::sameWheelStepMovesHourAndMinuteOppositeWays()
{
    DialogConfigAlarme dialog;
    dialog.show();
    bar(dialog, "m_scrollbar_heure")->setValue(12);
    bar(dialog, "m_scrollbar_minute")->setValue(30);
    QCOMPARE(shownTime(dialog), QStringLiteral("11:29"));

    // One notch up scrolls three lines: a later hour, an earlier minute.
    for (QScrollBar* target : {bar(dialog, "m_scrollbar_heure"), bar(dialog, "m_scrollbar_minute")}) {
        const QPointF inside = QRectF(target->rect()).center();
        QWheelEvent wheel(inside, target->mapToGlobal(inside), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    QCOMPARE(shownTime(dialog), QStringLiteral("14:26"));
}

void TestAlarmDialog::untouchedIsArmedMidnightAndValuesStayBetweenUses()
{
    DialogConfigAlarme dialog;
    const Alarme a = dialog.getAlarme();
    QCOMPARE(formatAlarmTime(a.h, a.m), QStringLiteral("00:00"));
    QVERIFY(a.active);
    QCOMPARE(a.title, QStringLiteral("Titre..."));
    QVERIFY(a.message.isEmpty() && !a.execute && a.file.isEmpty());

    // Neither "OK" nor "Annuler" clears what a use entered.
    for (const char* button : {"bouton_ok", "bouton_annuler"}) {
        QTimer::singleShot(0, &dialog, [&dialog, button] {
            bar(dialog, "m_scrollbar_heure")->triggerAction(QAbstractSlider::SliderSingleStepSub);
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("m_lineedit_alerte")), QStringLiteral("!"));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        });
        dialog.exec();
    }
    QCOMPARE(shownTime(dialog), QStringLiteral("02:00"));
    QCOMPARE(dialog.getAlarme().message, QStringLiteral("!!"));
}

void TestAlarmDialog::cancelledChooserKeepsTheEarlierFile()
{
    DialogConfigAlarme dialog;
    const QString file = QCoreApplication::applicationFilePath();
    for (const bool accept : {true, false}) {
        QTimer::singleShot(0, [file, accept] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(chooser);
            chooser->selectFile(file);
            accept ? static_cast<QDialog*>(chooser)->accept() : chooser->reject();
        });
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("bouton_fichier_parcourir")), Qt::LeftButton);
        QCOMPARE(dialog.getAlarme().file, file);
    }
}

QTEST_MAIN(TestAlarmDialog)
#include "testalarmdialog.moc"
