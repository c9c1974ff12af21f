#include "support/toolwindowdriver.h"

#include <QAction>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

QTabWidget* toolTabs(QWidget& window)
{
    return window.findChild<QTabWidget*>(QStringLiteral("_table"));
}

QStringList toolTabLabels(QWidget& window)
{
    QStringList labels;
    for (int i = 0; i < toolTabs(window)->count(); ++i)
        labels << toolTabs(window)->tabText(i);
    return labels;
}

void triggerToolAction(QWidget& window, const QString& text)
{
    const auto* bar = window.findChild<QToolBar*>(QStringLiteral("toolBar"));
    for (QAction* action : bar->actions()) {
        if (action->text() == text) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no tool-bar action ") + text));
}
