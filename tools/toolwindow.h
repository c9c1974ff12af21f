#pragma once

#include "tools/itemarray.h"

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QTabWidget>
#include <QToolBar>

#include <memory>

namespace Ui {
class ToolWindow;
}

// The window of a timekeeping tool: one numbered tab per item, "&Nouveau"
// and "&Supprimer" in a tool bar at the bottom, and the main window's mouse
// gestures. Each tool says what "&Nouveau" does and loads and saves its own
// items.
class ToolWindow : public QMainWindow
{
    Q_OBJECT

public:
    ToolWindow(QWidget* parent, const QString& windowTitle, const QString& prefix);
    ~ToolWindow() override;

    // Writes the items to conf.ini as the end of the run does: each tool's
    // destructor calls it, and the main window before anything that may end
    // the process without it (a plug-in). A tool that keeps nothing need not
    // say so.
    virtual void storeItems() { }

public slots:
    virtual void openDialog() = 0;
    // Takes ownership of `tab`, labels it with the current number and makes
    // it the current page.
    void add(QWidget* tab);
    // Deletes the current page, if any; the other tabs keep their numbers.
    void remove();

protected:
    // Counts a new page in and returns its number, before the page is built:
    // the page may show it, and the tab is labelled with it.
    int nextPageNumber() { return ++m_compteur; }
    // Takes the page made after nextPageNumber() into the window.
    void addPage(std::unique_ptr<QWidget> page) { add(page.release()); }
    // Calls `addPage` with each item of the array stored in conf.ini, then
    // makes the last page current, once: making each current in turn lays
    // all the tabs out again at every page.
    template<typename Item, typename AddPage>
    void addStoredPages(const QString& array, AddPage addPage);

    QTabWidget* table() const;
    // The tool bar, for tools that add controls of their own after
    // "&Nouveau" and "&Supprimer".
    QToolBar* toolBar() const;
    // The pages in tab order, as the tool's own page class.
    template<typename Page>
    QList<Page*> pagesAs() const;

    // The number of the most recent page. It only grows during a run, so a
    // number is never given twice.
    int m_compteur = 0;
    const QString m_prefixe;

private:
    std::unique_ptr<Ui::ToolWindow> m_ui;
    bool m_addingStoredPages = false;
};

template<typename Item, typename AddPage>
void ToolWindow::addStoredPages(const QString& array, AddPage addPage)
{
    m_addingStoredPages = true;
    for (const Item& item : loadItems<Item>(array))
        addPage(item);
    m_addingStoredPages = false;
    table()->setCurrentIndex(table()->count() - 1);
}

template<typename Page>
QList<Page*> ToolWindow::pagesAs() const
{
    QList<Page*> pages;
    const QTabWidget* tabs = table();
    for (int i = 0; i < tabs->count(); ++i) {
        if (auto* page = qobject_cast<Page*>(tabs->widget(i)))
            pages.append(page);
    }
    return pages;
}
