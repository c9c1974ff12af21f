#pragma once

#include "tools/itemarray.h"

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QTabWidget>
#include <QToolBar>

#include <functional>
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
    // When the pages of the items stored in conf.ini are built: at once, or
    // when the window is first shown, an item is added or removed, the items
    // are stored, or buildStoredPages() is called. The main window puts them
    // off until it has been drawn, so that many items do not keep the clock
    // from showing.
    enum class StoredPages { Now, Later };

    ToolWindow(QWidget* parent, const QString& windowTitle, const QString& prefix, StoredPages stored);
    ~ToolWindow() override;

    // Builds the stored items' pages if that was put off; nothing otherwise.
    void buildStoredPages();

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
    void showEvent(QShowEvent* event) override;

    // Counts a new page in and returns its number, before the page is built:
    // the page may show it, and the tab is labelled with it. Stored pages
    // come first.
    int nextPageNumber()
    {
        buildStoredPages();
        return ++m_compteur;
    }
    // Takes the page made after nextPageNumber() into the window.
    void addPage(std::unique_ptr<QWidget> page) { add(page.release()); }
    // Calls `addPage` with each of `items`, read from conf.ini, then makes
    // the last page current, once: making each current in turn lays all the
    // tabs out again at every page. Now or later, as the window was made.
    template<typename Item, typename AddPage>
    void addStoredPages(QList<Item> items, AddPage addPage);
    // True while the stored pages are still to be built.
    bool storedPagesPending() const { return bool(m_storedPages); }

    QTabWidget* table() const;
    // The tool bar, for tools that add controls of their own after
    // "&Nouveau" and "&Supprimer".
    QToolBar* toolBar() const;
    // The pages in tab order, as the tool's own page class, the stored ones
    // built first.
    template<typename Page>
    QList<Page*> pagesAs();

    // The number of the most recent page. It only grows during a run, so a
    // number is never given twice.
    int m_compteur = 0;
    const QString m_prefixe;

private:
    std::unique_ptr<Ui::ToolWindow> m_ui;
    bool m_addingStoredPages = false;
    const bool m_storedPagesLater;
    std::function<void()> m_storedPages;
};

template<typename Item, typename AddPage>
void ToolWindow::addStoredPages(QList<Item> items, AddPage addPage)
{
    m_storedPages = [items = std::move(items), addPage]() {
        for (const Item& item : items)
            addPage(item);
    };
    if (!m_storedPagesLater)
        buildStoredPages();
}

template<typename Page>
QList<Page*> ToolWindow::pagesAs()
{
    buildStoredPages();
    QList<Page*> pages;
    const QTabWidget* tabs = table();
    for (int i = 0; i < tabs->count(); ++i) {
        if (auto* page = qobject_cast<Page*>(tabs->widget(i)))
            pages.append(page);
    }
    return pages;
}
