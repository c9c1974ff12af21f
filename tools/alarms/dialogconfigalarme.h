#pragma once

#include "tools/alarms/alarme.h"

#include <QDialog>
#include <QString>

#include <memory>

class QToolButton;

namespace Ui {
class AlarmConfigDialog;
}

// The dialog "Nouveau..." of the alarm window. It is made once and keeps
// what the user left in it, so a series of similar alarms is quick to enter.
// Its seven day toggles, "L M M J V S D", start all on: every day.
class DialogConfigAlarme : public QDialog
{
    Q_OBJECT

public:
    DialogConfigAlarme();
    ~DialogConfigAlarme() override;

    // A new, armed alarm from what the dialog shows now.
    Alarme getAlarme() const;

public slots:
    void parcourir_fichier();
    void refresh_hour();

private:
    // Monday first.
    QList<QToolButton*> dayButtons() const;
    Weekdays chosenDays() const;

    std::unique_ptr<Ui::AlarmConfigDialog> m_ui;
    QString m_fichier;
    int m_heure = 0;
    int m_minute = 0;
};
