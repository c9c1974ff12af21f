#pragma once

#include <QString>
#include <QStringList>
#include <QTabWidget>

#include <functional>

class QDialog;
class QWidget;

// Drives tool windows and dialogs as their user does.

// A tool window's tabs, its stored pages built.
QTabWidget* toolTabs(QWidget& window);
// The labels of a tool window's tabs or, given `ofPage`, what it reads on
// each page, in tab order.
QStringList tabTexts(QWidget& window, const std::function<QString(QWidget& page)>& ofPage = nullptr);
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

// Opens a tool window's dialog with "&Nouveau", lets `fill` fill it in and
// presses `button`; true when all of it went without a failure.
[[nodiscard]] bool fillToolDialog(QWidget& window, const std::function<void(QDialog&)>& fill,
                                  const char* button = "bouton_ok");
// Presses `button` of `dialog`, which opens a file chooser, and answers that
// as answerFileChooser() does.
[[nodiscard]] bool chooseFile(QWidget& dialog, const char* button, const QString& file, bool confirm);
