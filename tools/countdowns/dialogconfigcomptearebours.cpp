#include "tools/countdowns/dialogconfigcomptearebours.h"

#include "app/clock.h"
#include "tools/alert.h"

#include "ui_timerconfigdialog.h"

DialogConfigCompteARebours::DialogConfigCompteARebours()
    : m_ui(std::make_unique<Ui::TimerConfigDialog>())
{
    m_ui->setupUi(this);
    connect(m_ui->bouton_fichier_parcourir, &QPushButton::clicked, this,
            &DialogConfigCompteARebours::parcourir_fichier);
    connect(m_ui->bouton_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->bouton_annuler, &QPushButton::clicked, this, &QDialog::reject);
}

DialogConfigCompteARebours::~DialogConfigCompteARebours() = default;

CompteARebours DialogConfigCompteARebours::getCompteARebours() const
{
    CompteARebours c;
    if (m_ui->m_radio_date->isChecked()) {
        c.date = m_ui->m_datetimeedit_date->dateTime();
    } else {
        // The delay runs from the confirmation, not from the opening.
        const int seconds = m_ui->m_spinbox_heures->value() * 3600 + m_ui->m_spinbox_minutes->value() * 60
            + m_ui->m_spinbox_secondes->value();
        c.date = Clock::instance().currentDateTime().addSecs(seconds);
    }
    c.title = m_ui->m_lineedit_titre->text();
    c.message = m_ui->m_lineedit_alerte->text();
    c.execute = m_ui->m_checkbox_executer_fichier->isChecked();
    c.file = m_fichier;
    return c;
}

void DialogConfigCompteARebours::parcourir_fichier()
{
    m_fichier = chooseFileToOpen(this, tr("Ouvrir un fichier"), m_fichier);
}

void DialogConfigCompteARebours::showEvent(QShowEvent* event)
{
    // A date left below it is raised to it.
    m_ui->m_datetimeedit_date->setMinimumDateTime(Clock::instance().currentDateTime());
    QDialog::showEvent(event);
}
