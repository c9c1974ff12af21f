#include "tools/alarms/dialogconfigalarme.h"

#include "tools/alert.h"

#include "ui_alarmconfigdialog.h"

DialogConfigAlarme::DialogConfigAlarme()
    : m_ui(std::make_unique<Ui::AlarmConfigDialog>())
{
    m_ui->setupUi(this);

    connect(m_ui->m_scrollbar_heure, &QScrollBar::valueChanged, this, &DialogConfigAlarme::refresh_hour);
    connect(m_ui->m_scrollbar_minute, &QScrollBar::valueChanged, this, &DialogConfigAlarme::refresh_hour);
    connect(m_ui->bouton_fichier_parcourir, &QPushButton::clicked, this,
            &DialogConfigAlarme::parcourir_fichier);
    connect(m_ui->bouton_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->bouton_annuler, &QPushButton::clicked, this, &QDialog::reject);
    // An alarm rings on one day at least.
    for (QToolButton* day : dayButtons()) {
        connect(day, &QToolButton::toggled, this, [this] { m_ui->bouton_ok->setEnabled(chosenDays() != 0); });
    }

    refresh_hour();
}

DialogConfigAlarme::~DialogConfigAlarme() = default;

Alarme DialogConfigAlarme::getAlarme() const
{
    Alarme a;
    a.h = m_heure;
    a.m = m_minute;
    a.active = true;
    a.title = m_ui->m_lineedit_titre->text();
    a.message = m_ui->m_lineedit_alerte->text();
    a.execute = m_ui->m_checkbox_executer_fichier->isChecked();
    a.file = m_fichier;
    a.setDays(chosenDays());
    return a;
}

QList<QToolButton*> DialogConfigAlarme::dayButtons() const
{
    return {m_ui->m_bouton_jour_1, m_ui->m_bouton_jour_2, m_ui->m_bouton_jour_3, m_ui->m_bouton_jour_4,
            m_ui->m_bouton_jour_5, m_ui->m_bouton_jour_6, m_ui->m_bouton_jour_7};
}

Weekdays DialogConfigAlarme::chosenDays() const
{
    Weekdays days = 0;
    const QList<QToolButton*> buttons = dayButtons();
    for (int day = 0; day < buttons.size(); ++day) {
        if (buttons.at(day)->isChecked())
            days |= 1u << day;
    }
    return days;
}

void DialogConfigAlarme::parcourir_fichier()
{
    m_fichier = chooseFileToOpen(this, tr("Ouvrir un fichier"), m_fichier);
}

void DialogConfigAlarme::refresh_hour()
{
    // The bars count down from their maxima, so that their upper arrows
    // raise the hour and the minute.
    m_heure = m_ui->m_scrollbar_heure->maximum() - m_ui->m_scrollbar_heure->value();
    m_minute = m_ui->m_scrollbar_minute->maximum() - m_ui->m_scrollbar_minute->value();
    m_ui->m_label_heure->setText(formatAlarmTime(m_heure, m_minute));
}
