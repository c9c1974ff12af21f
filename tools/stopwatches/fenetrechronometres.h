#pragma once

#include "tools/stopwatches/chronometre.h"
#include "tools/toolwindow.h"

// The stopwatch tool window. It rebuilds the stopwatches kept in conf.ini,
// those that were running having run on while the program was closed, and
// writes them back at the end of the run.
class FenetreChronometres : public ToolWindow
{
    Q_OBJECT

public:
    explicit FenetreChronometres(QWidget* parent, StoredPages stored = StoredPages::Now);
    ~FenetreChronometres() override;

public slots:
    void newChrono();
    void newChrono(const Chronometre& c);
    void openDialog() override;

protected:
    void writeItems(QSettings& settings) override;

private:
    // A stopwatch as read, having run on while the program was closed and
    // since it was read, if it was running.
    Chronometre ranOn(const Chronometre& stored) const;
    QList<Chronometre> storedNow();

    StoredItems<Chronometre> m_stored;
    qint64 m_closedMsecs = 0;
    // The monotonic clock when they were read.
    qint64 m_loadedAt = 0;
};
