#include "tools/elapsedtimes/dialogconfigtempsecoule.h"

#include "app/clock.h"

#include "ui_pasttimeconfigdialog.h"

DialogConfigTempsEcoule::DialogConfigTempsEcoule()
    : m_ui(std::make_unique<Ui::PastTimeConfigDialog>())
{
    m_ui->setupUi(this);
    connect(m_ui->bouton_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->bouton_annuler, &QPushButton::clicked, this, &QDialog::reject);
}

DialogConfigTempsEcoule::~DialogConfigTempsEcoule() = default;

TempsEcoule DialogConfigTempsEcoule::getTempsEcoule() const
{
    return TempsEcoule{m_ui->m_datetimeedit_date->dateTime(), m_ui->m_lineedit_titre->text()};
}

void DialogConfigTempsEcoule::showEvent(QShowEvent* event)
{
    // A date left above it is lowered to it.
    m_ui->m_datetimeedit_date->setMaximumDateTime(Clock::instance().currentDateTime());
    QDialog::showEvent(event);
}
