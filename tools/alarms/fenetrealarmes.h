#pragma once

#include "tools/alarms/alarme.h"
#include "tools/toolwindow.h"

#include <memory>

class DialogConfigAlarme;
class WidgetAlarme;

// The alarm tool window. It rebuilds the alarms kept in conf.ini when it is
// made, and writes them back when it is destroyed at the end of the run.
class FenetreAlarmes : public ToolWindow
{
    Q_OBJECT

public:
    explicit FenetreAlarmes(QWidget* parent, StoredPages stored = StoredPages::Now);
    ~FenetreAlarmes() override;

    // True while at least one page has "Oui" checked (the main window's bell).
    bool hasActiveAlarm();
    // "Prochaine alarme : 21:05 Soir", or empty (the bell's and the tray's
    // tooltips).
    QString nextAlarmLine();

public slots:
    void openDialog() override;
    void newAlarm();
    void newAlarm(const Alarme& a);

protected:
    void writeItems(QSettings& settings) override;

private:
    // Every alarm in tab order: the pages', or those read from conf.ini
    // while their pages are still to be built.
    QList<Alarme> alarms();

    // No parent: it is a window of its own, made at the first "Nouveau..."
    // and reused for every new alarm.
    std::unique_ptr<DialogConfigAlarme> m_dialog;
    QList<Alarme> m_stored;
};
