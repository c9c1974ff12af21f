#include "app/configuration.h"
#include "mainwindow/windowgestures.h"
#include "support/temporaryconfiguration.h"
#include "support/toolwindowdriver.h"
#include "tools/toolwindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QWheelEvent>

// The smallest tool: "&Nouveau" adds a plain page at once.
class LabelWindow : public ToolWindow
{
public:
    LabelWindow()
        : ToolWindow(nullptr, QStringLiteral("Essai"), QStringLiteral("Alarme"))
    {
    }

    void openDialog() override { addNextPage(std::make_unique<QLabel>(QStringLiteral("page"))); }
};

class TestToolWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tabNumbering_data();
    void tabNumbering();
    void deletedPageGoesAtOnce();
    void shortcutsOfTheToolBar();
    void doubleClickSwitchesTheLook_data();
    void doubleClickSwitchesTheLook();
    void reappliedFramedFlagsKeepTheLookState();
    void wheelOpacityHasAFloor();
    void leftButtonDragsTheWindow_data();
    void leftButtonDragsTheWindow();

private:
    std::unique_ptr<TemporaryConfiguration> m_conf;
};

static void doubleClick(QWidget& window)
{
    QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
}

void TestToolWindow::init()
{
    m_conf = std::make_unique<TemporaryConfiguration>();
}

void TestToolWindow::cleanup()
{
    m_conf.reset();
}

void TestToolWindow::tabNumbering_data()
{
    // n = "&Nouveau", d = "&Supprimer", a digit = choose that tab.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<int>("current");

    QTest::addRow("the first page is n°1 and current")
        << "n" << QStringList{u8"Alarme n°1"} << 0;
    QTest::addRow("deleting n°2 of three then creating gives n°1, n°3, n°4")
        << "nnn1dn" << QStringList{u8"Alarme n°1", u8"Alarme n°3", u8"Alarme n°4"} << 2;
    QTest::addRow("deleting every tab does not restart the numbering")
        << "nnddn" << QStringList{u8"Alarme n°3"} << 0;
    QTest::addRow("Supprimer on an empty window does nothing")
        << "dd" << QStringList{} << -1;
    QTest::addRow("Supprimer deletes the current tab only")
        << "nnn0d" << QStringList{u8"Alarme n°2", u8"Alarme n°3"} << 0;
}

void TestToolWindow::tabNumbering()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, labels);
    QFETCH(int, current);

    LabelWindow window;
    for (const QChar step : steps) {
        if (step == 'n')
            triggerToolAction(window, QStringLiteral("&Nouveau"));
        else if (step == 'd')
            triggerToolAction(window, QStringLiteral("&Supprimer"));
        else
            toolTabs(window)->setCurrentIndex(step.digitValue());
    }
    QCOMPARE(toolTabLabels(window), labels);
    QCOMPARE(toolTabs(window)->currentIndex(), current);
}

void TestToolWindow::deletedPageGoesAtOnce()
{
    LabelWindow window;
    window.openDialog();
    QPointer<QWidget> page = toolTabs(window)->currentWidget();

    triggerToolAction(window, QStringLiteral("&Supprimer"));
    // Not deferred to the event loop: a page left alive until then could
    // still act on a tick.
    QVERIFY(page.isNull());
}

void TestToolWindow::shortcutsOfTheToolBar()
{
    LabelWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(toolTabLabels(window), (QStringList{u8"Alarme n°1", u8"Alarme n°2"}));
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(toolTabLabels(window), QStringList{u8"Alarme n°1"});

    auto* bar = window.findChild<QToolBar*>(QStringLiteral("toolBar"));
    QCOMPARE(window.toolBarArea(bar), Qt::BottomToolBarArea);
    for (const QAction* action : bar->actions())
        QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
}

void TestToolWindow::doubleClickSwitchesTheLook_data()
{
    QTest::addColumn<bool>("onTop");
    QTest::addColumn<int>("frameless");
    QTest::addColumn<int>("framed");

    QTest::addRow("plain") << false << 0x801 << 0x8007001;
    QTest::addRow("with demarrage/onTop") << true << 0x40801 << 0x8047001;
}

void TestToolWindow::doubleClickSwitchesTheLook()
{
    QFETCH(bool, onTop);
    QFETCH(int, frameless);
    QFETCH(int, framed);
    g_configuration.demarrage_onTop = onTop;

    LabelWindow window;
    window.setWindowFlags(framedWindowFlags());
    window.show();

    doubleClick(window);
    QCOMPARE(int(window.windowFlags()), frameless);
    QVERIFY(window.isVisible());
    doubleClick(window);
    QCOMPARE(int(window.windowFlags()), framed);
    QVERIFY(window.isVisible());
}

void TestToolWindow::reappliedFramedFlagsKeepTheLookState()
{
    LabelWindow window;
    window.setWindowFlags(framedWindowFlags());
    window.show();

    doubleClick(window);
    QCOMPARE(int(window.windowFlags()), 0x801);
    // What the main window does after its preferences dialog.
    window.setWindowFlags(framedWindowFlags());
    window.show();

    doubleClick(window);
    QCOMPARE(int(window.windowFlags()), 0x8007001);
    doubleClick(window);
    QCOMPARE(int(window.windowFlags()), 0x801);
}

static void turnWheel(QWidget& window, int delta, int times)
{
    for (int i = 0; i < times; ++i) {
        QWheelEvent event(QPointF(20, 20), window.mapToGlobal(QPointF(20, 20)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&window, &event);
    }
}

void TestToolWindow::wheelOpacityHasAFloor()
{
    LabelWindow window;
    window.show();

    turnWheel(window, -120, 1);
    QVERIFY(window.windowOpacity() < 1.0);
    turnWheel(window, -120, 40);
    const double floor = window.windowOpacity();
    QVERIFY2(floor > 0.0 && floor <= 0.1 + 1e-6, qPrintable(QString::number(floor)));
    turnWheel(window, -120, 5);
    QCOMPARE(window.windowOpacity(), floor);
    turnWheel(window, 120, 40);
    QCOMPARE(window.windowOpacity(), 1.0);
}

void TestToolWindow::leftButtonDragsTheWindow_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("moved");

    QTest::addRow("left button moves by the cursor's path") << Qt::LeftButton << QPoint(50, 30);
    QTest::addRow("right button does not move") << Qt::RightButton << QPoint(0, 0);
}

void TestToolWindow::leftButtonDragsTheWindow()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, moved);

    LabelWindow window;
    window.move(200, 150);
    window.show();
    const QPoint start = window.frameGeometry().topLeft();
    const QPointF grab(30, 40);

    QMouseEvent press(QEvent::MouseButtonPress, grab, window.mapToGlobal(grab), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
    const QPointF to = grab + QPointF(50, 30);
    QMouseEvent move(QEvent::MouseMove, to, window.mapToGlobal(to), Qt::NoButton, button,
                     Qt::NoModifier);
    QApplication::sendEvent(&window, &move);

    QCOMPARE(window.frameGeometry().topLeft() - start, moved);
}

QTEST_MAIN(TestToolWindow)
#include "testtoolwindow.moc"
