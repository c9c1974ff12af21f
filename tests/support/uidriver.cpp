#include "support/uidriver.h"

#include "tools/toolwindow.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

QTabWidget* toolTabs(QWidget& window)
{
    if (auto* tool = qobject_cast<ToolWindow*>(&window))
        tool->buildStoredPages();
    return window.findChild<QTabWidget*>(QStringLiteral("_table"));
}

QStringList tabTexts(QWidget& window, const std::function<QString(QWidget& page)>& ofPage)
{
    QStringList texts;
    QTabWidget* tabs = toolTabs(window);
    for (int i = 0; i < tabs->count(); ++i)
        texts << (ofPage ? ofPage(*tabs->widget(i)) : tabs->tabText(i));
    return texts;
}

bool triggerToolAction(QWidget& window, const QString& text)
{
    const auto* toolBar = window.findChild<QToolBar*>(QStringLiteral("toolBar"));
    for (QAction* action : toolBar ? toolBar->actions() : QList<QAction*>()) {
        if (action->text() == text) {
            action->trigger();
            return true;
        }
    }
    return false;
}

bool answerNextDialog(const std::function<void()>& open, const std::function<void(QDialog&)>& answer,
                      int timeoutMs)
{
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        answer(*dialog);
        answered = !QTest::currentTestFailed();
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    // Gone with the poll when the dialog has been answered in time.
    QTimer::singleShot(timeoutMs, &poll, [] {
        for (int nested = 0; nested < 10 && QApplication::activeModalWidget(); ++nested)
            QApplication::activeModalWidget()->close();
    });
    poll.start(10);
    open();
    return answered;
}

bool answerFileChooser(QDialog& chooser, const QString& file, bool confirm)
{
    auto* files = qobject_cast<QFileDialog*>(&chooser);
    if (!files)
        return false;
    // The chooser leaves its name field alone while that has the focus,
    // which it may or may not have been given yet.
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
    files->selectFile(file);
    confirm ? chooser.accept() : chooser.reject();
    return true;
}

bool fillToolDialog(QWidget& window, const std::function<void(QDialog&)>& fill, const char* button)
{
    return answerNextDialog([&] { QVERIFY(triggerToolAction(window, QStringLiteral("&Nouveau"))); },
                            [&](QDialog& dialog) {
                                fill(dialog);
                                QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
                            });
}

bool chooseFile(QWidget& dialog, const char* button, const QString& file, bool confirm)
{
    return answerNextDialog([&] { dialog.findChild<QPushButton*>(button)->click(); },
                            [&](QDialog& chooser) { QVERIFY(answerFileChooser(chooser, file, confirm)); });
}
