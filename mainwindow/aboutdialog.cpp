#include "mainwindow/aboutdialog.h"

#include "app/weblinks.h"

#include "ui_aboutdialog.h"

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::aboutDialog>())
{
    m_ui->setupUi(this);
    // The address and the version come from the build, so the form's
    // translatable texts only carry their places.
    const QString homePage = homePageUrl().toString();
    m_ui->label_6->setText(m_ui->label_6->text().arg(homePage.toHtmlEscaped()));
    m_ui->plainTextEdit->setPlainText(m_ui->plainTextEdit->toPlainText().arg(QStringLiteral(CLEPSA_VERSION)));
}

AboutDialog::~AboutDialog() = default;
