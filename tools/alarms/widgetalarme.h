#pragma once

#include "tools/alarms/alarme.h"

#include <QWidget>

#include <memory>

namespace Ui {
class WidgetAlarme;
}

// The page of one alarm: its time, its days, its title, its bell and the
// choice "Activer?". Once a minute it compares the tick source's time with
// its own and alerts when they match on a day it rings on, or when a repeat
// asked for falls due, and the alarm is armed.
class WidgetAlarme : public QWidget
{
    Q_OBJECT

public:
    // Rings at once if the alarm is armed and due in the current minute.
    explicit WidgetAlarme(const Alarme& a);
    ~WidgetAlarme() override;

    // "Oui" is checked.
    bool isActive() const;
    // The alarm as it stands, with the armed state the user last chose.
    const Alarme& alarme() const { return m_alarme; }

signals:
    void ring();

public slots:
    void test_hour();
    void execute();
    void showBell();
    // Rings again `minutes` from now ("Répéter" in its notification).
    void repeatIn(int minutes);

private:
    std::unique_ptr<Ui::WidgetAlarme> m_ui;
    Alarme m_alarme;
};
