#include "support/toolwindowdriver.h"

#include <QAction>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

QTabWidget* toolTabs(QWidget& window)
{
    return window.findChild<QTabWidget*>(QStringLiteral("_table"));
}

void triggerToolAction(QWidget& window, const QString& text)
{
    for (QAction* action : window.findChild<QToolBar*>(QStringLiteral("toolBar"))->actions()) {
        if (action->text() == text) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no tool-bar action ") + text));
}
