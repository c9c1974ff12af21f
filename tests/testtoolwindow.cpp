#include "app/windowgestures.h"
#include "support/uidriver.h"
#include "tools/toolwindow.h"

#include <QtTest>
#include <QtWidgets>

// The smallest tool: "&Nouveau" adds at once a page that shows its number,
// and a stored page shows its item.
class LabelWindow : public ToolWindow
{
public:
    explicit LabelWindow(StoredPages when = StoredPages::Now, const QStringList& stored = {})
        : ToolWindow(nullptr, QStringLiteral("Essai"), QStringLiteral("Alarme"), when)
    {
        addStoredPages(stored, [this](const QString& item) {
            nextPageNumber();
            addPage(std::make_unique<QLabel>(item));
        });
    }
    void openDialog() override { addPage(std::make_unique<QLabel>(QString::number(nextPageNumber()))); }
};

class TestToolWindow : public QObject
{
    Q_OBJECT

private slots:
    void gestures_data();
    void gestures();
    void storedPagesPutOff_data();
    void storedPagesPutOff();
};

void TestToolWindow::gestures_data()
{
    // n = "&Nouveau", d = "&Supprimer", N and Q = Ctrl+N and Ctrl+Q, a digit =
    // choose that tab; D = double click, r = framed flags set again from
    // outside, as the main window does after its preferences dialog. Seen:
    // the flags after each double click, then the tab labels and the number
    // the current page shows.
    QTest::addColumn<bool>("onTop");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("seen");

    QTest::addRow("deleting n°2 of three then creating gives n°1, n°3, n°4, with the keys too")
        << false << "nnN1Qn" << QStringList{u8"Alarme n°1", u8"Alarme n°3", u8"Alarme n°4", "4"};
    QTest::addRow("deleting every tab does not restart the numbering")
        << false << "nnddn" << QStringList{u8"Alarme n°3", "3"};
    QTest::addRow("Supprimer on an empty window does nothing") << false << "dd" << QStringList{"none"};
    QTest::addRow("stay-on-top is kept in both looks")
        << true << "DD" << QStringList{"40801", "8047001", "none"};
    QTest::addRow("frameless, framed with the close button; re-applied framed flags do not reset the switch")
        << false << "DrDD" << QStringList{"801", "8007001", "801", "none"};
}

void TestToolWindow::gestures()
{
    QFETCH(bool, onTop);
    QFETCH(QString, steps);

    LabelWindow window;
    QStringList seen;
    for (const QChar step : QStringLiteral("r") + steps) {
        if (step == 'r') {
            window.setWindowFlags(framedWindowFlags(onTop));
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        } else if (step == 'D') {
            QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
            seen << (window.isVisible() ? QString::number(int(window.windowFlags()), 16) : "hidden");
        } else if (step == 'n' || step == 'd') {
            QVERIFY(triggerToolAction(window, step == 'n' ? "&Nouveau" : "&Supprimer"));
        } else if (step.isDigit()) {
            toolTabs(window)->setCurrentIndex(step.digitValue());
        } else {
            QTest::keyClick(&window, Qt::Key(step.unicode()), Qt::ControlModifier);
        }
    }
    const auto* current = qobject_cast<QLabel*>(toolTabs(window)->currentWidget());
    QTEST(seen + tabTexts(window) << (current ? current->text() : "none"), "seen");
}

void TestToolWindow::storedPagesPutOff_data()
{
    QTest::addColumn<QString>("firstUse");
    QTest::addRow("a new page comes after them") << "new";
    QTest::addRow("removing builds them first") << "remove";
    QTest::addRow("showing the window builds them") << "show";
}

void TestToolWindow::storedPagesPutOff()
{
    QFETCH(QString, firstUse);
    LabelWindow window(ToolWindow::StoredPages::Later, {"a", "b"});
    QCOMPARE(window.findChild<QTabWidget*>()->count(), 0);
    if (firstUse == "show")
        window.show();
    else
        QVERIFY(triggerToolAction(window, firstUse == "new" ? "&Nouveau" : "&Supprimer"));
    const QStringList seen =
        tabTexts(window, [](QWidget& page) { return static_cast<QLabel&>(page).text(); });
    QCOMPARE(seen,
             firstUse == "new"          ? QStringList({"a", "b", "3"})
                 : firstUse == "remove" ? QStringList{"a"}
                                        : QStringList({"a", "b"}));
}

QTEST_MAIN(TestToolWindow)
#include "testtoolwindow.moc"
