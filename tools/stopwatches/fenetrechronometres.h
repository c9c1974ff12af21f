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

    void storeItems() override;

public slots:
    void newChrono();
    void newChrono(const Chronometre& c);
    void openDialog() override;
};
