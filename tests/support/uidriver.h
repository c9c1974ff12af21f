#pragma once

#include <QTabWidget>

#include <functional>

class QDialog;
class QWidget;
class ToolWindow;

// Drives tool windows and dialogs as their user does.

// A tool window's tabs, its stored pages built.
QTabWidget* toolTabs(QWidget& window);

// Calls `open`, which shows a modal dialog and waits for it (exec()), and
// answers that dialog with `answer` once it is up. Whatever `answer` does,
// a failed check included, the dialog is closed afterwards, and within
// `timeoutMs` at the latest, so a failing test ends instead of waiting on it.
// True when the dialog came and `answer` ran without a failure.
[[nodiscard]] bool answerNextDialog(const std::function<void()>& open,
                                    const std::function<void(QDialog&)>& answer, int timeoutMs = 5000);

// Opens a tool window's dialog as "&Nouveau" does, lets `fill` fill it in
// and presses `button`; true when all of it went without a failure.
[[nodiscard]] bool fillToolDialog(ToolWindow& window, const std::function<void(QDialog&)>& fill,
                                  const char* button = "bouton_ok");
// Presses `button` of `dialog`, which opens a file chooser, picks `file` in
// it, then confirms or cancels it.
[[nodiscard]] bool chooseFile(QWidget& dialog, const char* button, const QString& file, bool confirm);
