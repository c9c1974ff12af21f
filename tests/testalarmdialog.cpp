#include "tools/alarms/dialogconfigalarme.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

class TestAlarmDialog : public QObject
{
    Q_OBJECT

private slots:
    void scrollBarsSetTheTime_data();
    void scrollBarsSetTheTime();
    void upperArrowClickRaisesTheHour();
    void sameWheelStepMovesHourAndMinuteOppositeWays_data();
    void sameWheelStepMovesHourAndMinuteOppositeWays();
    void untouchedDialogGivesAnArmedMidnightAlarm();
    void valuesStayBetweenUses();
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

void TestAlarmDialog::scrollBarsSetTheTime_data()
{
    QTest::addColumn<QString>("barName");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("time");

    const int up = QAbstractSlider::SliderSingleStepSub;
    const int down = QAbstractSlider::SliderSingleStepAdd;
    QTest::addRow("a new dialog shows 00:00") << "m_scrollbar_heure" << up << 0 << "00:00";
    QTest::addRow("the hour bar's upper arrow raises the hour") << "m_scrollbar_heure" << up << 1 << "01:00";
    QTest::addRow("the minute bar's upper arrow raises the minute") << "m_scrollbar_minute" << up << 1 << "00:01";
    QTest::addRow("the hour stops at 23") << "m_scrollbar_heure" << up << 30 << "23:00";
    QTest::addRow("the minute stops at 59") << "m_scrollbar_minute" << up << 70 << "00:59";
    QTest::addRow("the hour stops at 00, no wrap to 23") << "m_scrollbar_heure" << down << 1 << "00:00";
    QTest::addRow("the minute stops at 00, no wrap to 59") << "m_scrollbar_minute" << down << 1 << "00:00";
}

void TestAlarmDialog::scrollBarsSetTheTime()
{
    QFETCH(QString, barName);
    QFETCH(int, action);
    QFETCH(int, steps);
    QFETCH(QString, time);

    DialogConfigAlarme dialog;
    for (int i = 0; i < steps; ++i)
        bar(dialog, qPrintable(barName))->triggerAction(QAbstractSlider::SliderAction(action));
    QCOMPARE(shownTime(dialog), time);
    QCOMPARE(formatAlarmTime(dialog.getAlarme().h, dialog.getAlarme().m), time);
}

void TestAlarmDialog::upperArrowClickRaisesTheHour()
{
    DialogConfigAlarme dialog;
    dialog.show();
    QScrollBar* hours = bar(dialog, "m_scrollbar_heure");
    QStyleOptionSlider option;
    option.initFrom(hours);
    option.orientation = hours->orientation();
    option.minimum = hours->minimum();
    option.maximum = hours->maximum();
    option.sliderPosition = hours->sliderPosition();
    option.sliderValue = hours->value();
    option.singleStep = hours->singleStep();
    option.pageStep = hours->pageStep();
    option.subControls = QStyle::SC_All;
    const QRect arrow = hours->style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                       QStyle::SC_ScrollBarSubLine, hours);
    QVERIFY(!arrow.isEmpty());

    QTest::mouseClick(hours, Qt::LeftButton, Qt::NoModifier, arrow.center());
    QCOMPARE(shownTime(dialog), QStringLiteral("01:00"));
}

void TestAlarmDialog::sameWheelStepMovesHourAndMinuteOppositeWays_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<QString>("time");

    // From 11:29, one notch scrolls three lines.
    QTest::addRow("wheel up: later hour, earlier minute") << 120 << "14:26";
    QTest::addRow("wheel down: earlier hour, later minute") << -120 << "08:32";
}

void TestAlarmDialog::sameWheelStepMovesHourAndMinuteOppositeWays()
{
    QFETCH(int, delta);
    QFETCH(QString, time);

    DialogConfigAlarme dialog;
    dialog.show();
    bar(dialog, "m_scrollbar_heure")->setValue(12);
    bar(dialog, "m_scrollbar_minute")->setValue(30);
    QCOMPARE(shownTime(dialog), QStringLiteral("11:29"));

    for (QScrollBar* target : {bar(dialog, "m_scrollbar_heure"), bar(dialog, "m_scrollbar_minute")}) {
        const QPointF inside = QRectF(target->rect()).center();
        QWheelEvent wheel(inside, target->mapToGlobal(inside), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    QCOMPARE(shownTime(dialog), time);
}

void TestAlarmDialog::untouchedDialogGivesAnArmedMidnightAlarm()
{
    DialogConfigAlarme dialog;
    const Alarme a = dialog.getAlarme();
    QCOMPARE(a.h, 0);
    QCOMPARE(a.m, 0);
    QCOMPARE(a.active, true);
    QCOMPARE(a.title, QStringLiteral("Titre..."));
    QCOMPARE(a.message, QString());
    QCOMPARE(a.execute, false);
    QCOMPARE(a.file, QString());
}

void TestAlarmDialog::valuesStayBetweenUses()
{
    DialogConfigAlarme dialog;
    for (const char* button : {"bouton_ok", "bouton_annuler"}) {
        QTimer::singleShot(0, &dialog, [&dialog, button] {
            bar(dialog, "m_scrollbar_heure")->triggerAction(QAbstractSlider::SliderSingleStepSub);
            auto* title = dialog.findChild<QLineEdit*>(QStringLiteral("m_lineedit_titre"));
            title->clear();
            QTest::keyClicks(title, QStringLiteral("Sport"));
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("m_lineedit_alerte")), QStringLiteral("!"));
            dialog.findChild<QCheckBox*>(QStringLiteral("m_checkbox_executer_fichier"))->setChecked(true);
            QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        });
        dialog.exec();
    }
    // Neither "OK" nor "Annuler" cleared what the two uses entered.
    QCOMPARE(shownTime(dialog), QStringLiteral("02:00"));
    const Alarme a = dialog.getAlarme();
    QCOMPARE(a.title, QStringLiteral("Sport"));
    QCOMPARE(a.message, QStringLiteral("!!"));
    QCOMPARE(a.execute, true);
}

// Answers the file chooser that the dialog is about to open.
static void answerChooser(const QString& file, QString* startDirectory, QString* caption)
{
    QTimer::singleShot(0, [=] {
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(chooser);
        *startDirectory = chooser->directory().absolutePath();
        *caption = chooser->windowTitle();
        if (file.isEmpty()) {
            chooser->reject();
            return;
        }
        chooser->selectFile(file);
        static_cast<QDialog*>(chooser)->accept();
    });
}

void TestAlarmDialog::cancelledChooserKeepsTheEarlierFile()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString file = dir.filePath(QStringLiteral("musique.ogg"));
    const QString other = elsewhere.filePath(QStringLiteral("ding.wav"));
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    QVERIFY(QFile(other).open(QIODevice::WriteOnly));
    DialogConfigAlarme dialog;
    auto* browse = dialog.findChild<QPushButton*>(QStringLiteral("bouton_fichier_parcourir"));
    QString startDirectory;
    QString caption;

    answerChooser(file, &startDirectory, &caption);
    QTest::mouseClick(browse, Qt::LeftButton);
    QCOMPARE(caption, QStringLiteral("Ouvrir un fichier"));
    QCOMPARE(dialog.getAlarme().file, file);

    // Another chooser of the program leaves Qt's last visited folder elsewhere.
    answerChooser(other, &startDirectory, &caption);
    QFileDialog::getOpenFileName(nullptr, QString(), elsewhere.path());

    answerChooser(QString(), &startDirectory, &caption);
    QTest::mouseClick(browse, Qt::LeftButton);
    // The chooser opened where the earlier file is.
    QCOMPARE(startDirectory, dir.path());
    QCOMPARE(dialog.getAlarme().file, file);
}

QTEST_MAIN(TestAlarmDialog)
#include "testalarmdialog.moc"
