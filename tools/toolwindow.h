#pragma once

#include "tools/itemarray.h"

#include <QDialog>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QTabWidget>
#include <QToolBar>

class QSettings;

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class ToolWindow;
}

// The window of a timekeeping tool: one numbered tab per item, "&Nouveau"
// and "&Supprimer" in a tool bar at the bottom, and the main window's mouse
// gestures. Each tool says what "&Nouveau" does and loads and saves its own
// items.
// Items of a tool's array in conf.ini, read at their first use.
template<typename Item>
class StoredItems
{
public:
    explicit StoredItems(QString array)
        : m_array(std::move(array))
    {
    }
    const QList<Item>& get()
    {
        if (!m_items)
            m_items = loadItems<Item>(m_array);
        return *m_items;
    }

private:
    QString m_array;
    std::optional<QList<Item>> m_items;
};

// A tool's dialog "Nouveau...", made at its first use and kept from then on,
// so that it keeps what the user left in it; `accepted` takes what it holds.
// Few runs open it, and made with the tool it would slow every start.
template<typename Dialog, typename Tool>
Dialog& dialogMadeOnce(std::unique_ptr<Dialog>& dialog, Tool* tool, void (Tool::*accepted)())
{
    if (!dialog) {
        dialog = std::make_unique<Dialog>();
        QObject::connect(dialog.get(), &QDialog::accepted, tool, accepted);
    }
    return *dialog;
}

class ToolWindow : public QMainWindow
{
    Q_OBJECT

public:
    // When the pages of the items stored in conf.ini are built: at once, or
    // when the window is first shown, an item is added or removed, or
    // buildStoredPages() is called. The main window puts them off until it
    // has been drawn, so that many items do not keep the clock from showing.
    // Until then the items are what was read: they are saved as they were
    // read, and none of them rings.
    enum class StoredPages { Now, Later };

    ToolWindow(QWidget* parent, const QString& windowTitle, const QString& prefix, StoredPages stored);
    ~ToolWindow() override;

    // Builds the stored items' pages if that was put off; nothing otherwise.
    void buildStoredPages();

    // Writes the items to conf.ini at once, on their own.
    void storeItems();
    // From now on, for as long as the window lives, every save of the
    // settings writes its items too, in the same file at once; its end then
    // leaves them to the last save of the run. The clock's own tools work so.
    void saveWithTheSettings();

public slots:
    virtual void openDialog() = 0;
    // Takes ownership of `tab`, labels it with the current number and makes
    // it the current page.
    void add(QWidget* tab);
    // Deletes the current page, if any; the other tabs keep their numbers.
    void remove();

    // Made with its form at the first showing.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    // The tool's own controls after "&Nouveau" and "&Supprimer", added once
    // the window's form is made.
    virtual void addToolBarControls(QToolBar*) { }
    // The window's form, tool bar and tabs, made once: at the first showing,
    // or when a page comes. Few runs open a tool, and made with the tool the
    // forms of four windows would slow every start.
    void makeForm();

    // Writes the tool's array into `settings`: from the pages, or from the
    // items as they were read while their pages are still to be built.
    virtual void writeItems(QSettings& settings) = 0;
    // Each tool's destructor: the items are written, unless the last save of
    // the settings has just done it.
    void storeAtTheEnd();

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
    // The same with the items that `load` reads when the pages are built, for
    // a tool whose items are not needed before: nothing of them rings.
    template<typename Load, typename AddPage>
    void addStoredPagesLoaded(Load load, AddPage addPage);
    // True while the stored pages are still to be built.
    bool storedPagesPending() const { return bool(m_storedPages); }

    QTabWidget* table();
    // The pages in tab order, as the tool's own page class, the stored ones
    // built first.
    template<typename Page>
    QList<Page*> pagesAs();
    // The tool's records in tab order, without building a page: `stored`,
    // as read from conf.ini, while their pages are still to be built; then
    // `toRecord` of each page, which may leave a page out (an empty
    // std::optional).
    template<typename Page, typename Record, typename ToRecord>
    QList<Record> records(const QList<Record>& stored, ToRecord toRecord);

    // The number of the most recent page. It only grows during a run, so a
    // number is never given twice.
    int m_compteur = 0;
    const QString m_prefixe;

private:
    std::unique_ptr<Ui::ToolWindow> m_ui;
    bool m_addingStoredPages = false;
    const bool m_storedPagesLater;
    bool m_savedWithTheSettings = false;
    std::function<void()> m_storedPages;
};

template<typename Item, typename AddPage>
void ToolWindow::addStoredPages(QList<Item> items, AddPage addPage)
{
    addStoredPagesLoaded([items = std::move(items)] { return items; }, addPage);
}

template<typename Load, typename AddPage>
void ToolWindow::addStoredPagesLoaded(Load load, AddPage addPage)
{
    m_storedPages = [load, addPage]() {
        for (const auto& item : load())
            addPage(item);
    };
    if (!m_storedPagesLater)
        buildStoredPages();
}

template<typename Page, typename Record, typename ToRecord>
QList<Record> ToolWindow::records(const QList<Record>& stored, ToRecord toRecord)
{
    if (storedPagesPending())
        return stored;
    QList<Record> all;
    for (const Page* page : pagesAs<Page>()) {
        if (const std::optional<Record> record = toRecord(*page))
            all.append(*record);
    }
    return all;
}

template<typename Page>
QList<Page*> ToolWindow::pagesAs()
{
    buildStoredPages();
    QList<Page*> pages;
    // No form, no page.
    if (!m_ui)
        return pages;
    const QTabWidget* tabs = table();
    for (int i = 0; i < tabs->count(); ++i) {
        if (auto* page = qobject_cast<Page*>(tabs->widget(i)))
            pages.append(page);
    }
    return pages;
}
