#include "support/uidriver.h"

#include "tools/toolwindow.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

QTabWidget* toolTabs(QWidget& window)
{
    if (auto* tool = qobject_cast<ToolWindow*>(&window))
        tool->buildStoredPages();
    return window.findChild<QTabWidget*>(QStringLiteral("_table"));
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

bool fillToolDialog(ToolWindow& window, const std::function<void(QDialog&)>& fill, const char* button)
{
    return answerNextDialog([&] { window.openDialog(); },
                            [&](QDialog& dialog) {
                                fill(dialog);
                                QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
                            });
}

bool chooseFile(QWidget& dialog, const char* button, const QString& file, bool confirm)
{
    return answerNextDialog([&] { dialog.findChild<QPushButton*>(button)->click(); },
                            [&](QDialog& chooser) {
                                auto* files = qobject_cast<QFileDialog*>(&chooser);
                                QVERIFY(files);
                                // The chooser leaves its name field alone while that has
                                // the focus, which it may or may not have been given yet.
                                if (QWidget* focused = QApplication::focusWidget())
                                    focused->clearFocus();
                                files->selectFile(file);
                                confirm ? chooser.accept() : chooser.reject();
                            });
}
