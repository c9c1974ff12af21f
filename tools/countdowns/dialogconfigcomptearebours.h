#pragma once

#include "tools/countdowns/comptearebours.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TimerConfigDialog;
}

// The dialog "Nouveau..." of the countdown window: a date and time, or a
// delay from the moment it is confirmed, and the texts and file of the
// alert. It is made once and keeps what the user left in it.
class DialogConfigCompteARebours : public QDialog
{
    Q_OBJECT

public:
    DialogConfigCompteARebours();
    ~DialogConfigCompteARebours() override;

    // A new countdown from what the dialog shows now.
    CompteARebours getCompteARebours() const;

public slots:
    void parcourir_fichier();

protected:
    // The earliest date it takes is the moment it is shown.
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TimerConfigDialog> m_ui;
    QString m_fichier;
};
