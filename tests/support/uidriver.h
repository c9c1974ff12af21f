#pragma once

#include <QString>

#include <functional>

class QDialog;
class QTabWidget;
class QWidget;

// Drives tool windows and dialogs as their user does.

// A tool window's tabs.
QTabWidget* toolTabs(QWidget& window);
// Triggers the tool-bar action with that text ("&Nouveau", "&Supprimer");
// false when there is none.
[[nodiscard]] bool triggerToolAction(QWidget& window, const QString& text);

// Calls `open`, which shows a modal dialog and waits for it (exec()), and
// answers that dialog with `answer` once it is up. Whatever `answer` does,
// a failed check included, the dialog is closed afterwards, and within
// `timeoutMs` at the latest, so a failing test ends instead of waiting on it.
// True when the dialog came and `answer` ran without a failure.
[[nodiscard]] bool answerNextDialog(const std::function<void()>& open,
                                    const std::function<void(QDialog&)>& answer, int timeoutMs = 5000);

// Picks `file` in a file chooser, then confirms or cancels it; false when
// `chooser` is no file chooser.
[[nodiscard]] bool answerFileChooser(QDialog& chooser, const QString& file, bool confirm);
