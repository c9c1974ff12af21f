#include "app/windowgestures.h"
#include "support/uidriver.h"
#include "tools/toolwindow.h"

#include <QtTest>
#include <QtWidgets>

// The smallest tool: "&Nouveau" adds a plain page at once.
class LabelWindow : public ToolWindow
{
public:
    LabelWindow()
        : ToolWindow(nullptr, QStringLiteral("Essai"), QStringLiteral("Alarme"))
    {
    }
    void openDialog() override { addPage(std::make_unique<QLabel>(QString::number(nextPageNumber()))); }
};

class TestToolWindow : public QObject
{
    Q_OBJECT

private slots:
    void tabNumbering_data();
    void tabNumbering();
    void doubleClickSwitchesTheLook_data();
    void doubleClickSwitchesTheLook();
};

void TestToolWindow::tabNumbering_data()
{
    // n = "&Nouveau", d = "&Supprimer", N and Q = Ctrl+N and Ctrl+Q, a digit = choose that tab.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("current");

    QTest::addRow("deleting n°2 of three then creating gives n°1, n°3, n°4, with the keys too")
        << "nnN1Qn" << QStringList{u8"Alarme n°1", u8"Alarme n°3", u8"Alarme n°4"} << 2;
    QTest::addRow("deleting every tab does not restart the numbering")
        << "nnddn" << QStringList{u8"Alarme n°3"} << 0;
    QTest::addRow("Supprimer on an empty window does nothing") << "dd" << QStringList{} << -1;
}

void TestToolWindow::tabNumbering()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, labels);
    QFETCH(int, current);

    LabelWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    for (const QChar step : steps) {
        if (step == 'n' || step == 'd')
            QVERIFY(triggerToolAction(window, step == 'n' ? "&Nouveau" : "&Supprimer"));
        else if (step.isDigit())
            toolTabs(window)->setCurrentIndex(step.digitValue());
        else
            QTest::keyClick(&window, Qt::Key(step.unicode()), Qt::ControlModifier);
    }
    QStringList shown;
    for (int i = 0; i < toolTabs(window)->count(); ++i)
        shown << toolTabs(window)->tabText(i);
    QCOMPARE(shown, labels);
    QCOMPARE(toolTabs(window)->currentIndex(), current);
}

void TestToolWindow::doubleClickSwitchesTheLook_data()
{
    // d = double click, r = framed flags set again from outside, as the main
    // window does after its preferences dialog.
    QTest::addColumn<bool>("onTop");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("flags");

    QTest::addRow("stay-on-top is kept in both looks") << true << "dd" << QList<int>{0x40801, 0x8047001};
    QTest::addRow("frameless, framed with the close button; re-applied framed flags do not reset the switch")
        << false << "drdd" << QList<int>{0x801, 0x8007001, 0x801};
}

void TestToolWindow::doubleClickSwitchesTheLook()
{
    QFETCH(bool, onTop);
    QFETCH(QString, steps);
    QFETCH(QList<int>, flags);

    LabelWindow window;
    QList<int> seen;
    for (const QChar step : QStringLiteral("r") + steps) {
        if (step == 'r') {
            window.setWindowFlags(framedWindowFlags(onTop));
            window.show();
            continue;
        }
        QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QVERIFY(window.isVisible());
        seen << int(window.windowFlags());
    }
    QCOMPARE(seen, flags);
}

QTEST_MAIN(TestToolWindow)
#include "testtoolwindow.moc"
