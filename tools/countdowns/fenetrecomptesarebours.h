#pragma once

#include "tools/countdowns/comptearebours.h"
#include "tools/toolwindow.h"

#include <memory>

class DialogConfigCompteARebours;
class QComboBox;

// The countdown tool window. It rebuilds the countdowns kept in conf.ini when
// it is made, and at the end of the run writes back those still to come.
class FenetreComptesARebours : public ToolWindow
{
    Q_OBJECT

public:
    explicit FenetreComptesARebours(QWidget* parent, StoredPages stored = StoredPages::Now);
    ~FenetreComptesARebours() override;

    // "Pâtes : 0j 00:04:12": the running countdown nearest to its end, in
    // the window's format; empty when none runs (the tray's tooltip).
    QString nearestCountdownLine();

public slots:
    void openDialog() override;
    void newTimer();
    void newTimer(const CompteARebours& c);

protected:
    void writeItems(QSettings& settings) override;
    void addToolBarControls(QToolBar* toolBar) override;

private:
    // No parent: it is a window of its own, reused for every new countdown.
    std::unique_ptr<DialogConfigCompteARebours> m_dialog;
    // The tool bar's, once the form is made.
    QComboBox* m_format = nullptr;
    QList<CompteARebours> m_stored;
};
