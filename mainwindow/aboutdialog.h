#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class aboutDialog;
}

// Icon, name, author, home page link and version. Built once by the main
// window and shown again and again; closing it only hides it.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent);
    ~AboutDialog() override;

private:
    std::unique_ptr<Ui::aboutDialog> m_ui;
};
