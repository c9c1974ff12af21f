#pragma once

#include "tools/elapsedtimes/tempsecoule.h"
#include "tools/toolwindow.h"

#include <memory>

class DialogConfigTempsEcoule;
class QComboBox;

// The elapsed-time tool window. It rebuilds the counters kept in conf.ini
// when it is made, and writes them back at the end of the run.
class FenetreTempsEcoules : public ToolWindow
{
    Q_OBJECT

public:
    explicit FenetreTempsEcoules(QWidget* parent, StoredPages stored = StoredPages::Now);
    ~FenetreTempsEcoules() override;

public slots:
    void openDialog() override;
    void newTE();
    void newTE(const TempsEcoule& t);

protected:
    void writeItems(QSettings& settings) override;
    void addToolBarControls(QToolBar* toolBar) override;

private:
    // No parent: it is a window of its own, reused for every new counter.
    std::unique_ptr<DialogConfigTempsEcoule> m_dialog;
    // The tool bar's, once the form is made.
    QComboBox* m_format = nullptr;
    StoredItems<TempsEcoule> m_stored;
};
