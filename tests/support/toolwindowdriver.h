#pragma once

#include <QString>

class QTabWidget;
class QWidget;

// Drives a tool window as its user does: through its tool bar and its tabs.
QTabWidget* toolTabs(QWidget& window);
// Triggers the tool-bar action with that text ("&Nouveau", "&Supprimer").
void triggerToolAction(QWidget& window, const QString& text);
