#pragma once

#include "tools/elapsedtimes/tempsecoule.h"

#include <QDialog>

#include <memory>

namespace Ui {
class PastTimeConfigDialog;
}

// The dialog "Nouveau..." of the elapsed-time window: a title and a start in
// the past. It is made once and keeps what the user left in it.
class DialogConfigTempsEcoule : public QDialog
{
    Q_OBJECT

public:
    DialogConfigTempsEcoule();
    ~DialogConfigTempsEcoule() override;

    // A new counter from what the dialog shows now.
    TempsEcoule getTempsEcoule() const;

protected:
    // The latest start it takes is the moment it is shown.
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::PastTimeConfigDialog> m_ui;
};
