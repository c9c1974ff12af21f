#include "tools/toolwindow.h"

#include "app/configuration.h"
#include "app/pictures.h"
#include "app/windowgestures.h"

#include "ui_toolwindow.h"

#include <QAction>
#include <QKeySequence>
#include <QSettings>

ToolWindow::ToolWindow(QWidget* parent, const QString& windowTitle, const QString& prefix, StoredPages stored)
    : QMainWindow(parent)
    , m_prefixe(prefix)
    , m_ui(std::make_unique<Ui::ToolWindow>())
    , m_storedPagesLater(stored == StoredPages::Later)
{
    m_ui->setupUi(this);
    new WindowGestures(this, Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(windowTitle);
    setWindowIcon(picture(QStringLiteral(":/ressources/Clock.png")));

    QAction* nouveau =
        m_ui->toolBar->addAction(picture(QStringLiteral(":/ressources/new.png")), QStringLiteral("&Nouveau"));
    nouveau->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    connect(nouveau, &QAction::triggered, this, &ToolWindow::openDialog);

    QAction* supprimer = m_ui->toolBar->addAction(picture(QStringLiteral(":/ressources/delete.png")),
                                                  QStringLiteral("&Supprimer"));
    supprimer->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(supprimer, &QAction::triggered, this, &ToolWindow::remove);
    // A tool bar's buttons take no focus by default: without a mouse they
    // could not be reached.
    for (QAction* action : {nouveau, supprimer})
        m_ui->toolBar->widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
}

ToolWindow::~ToolWindow()
{
    removeItemWriter(this);
    // Deleting a page takes its tab away, so always delete the first one.
    while (QWidget* page = m_ui->_table->widget(0))
        delete page;
}

void ToolWindow::storeItems()
{
    const auto settings = openConfiguration();
    writeItems(*settings);
    commitConfiguration(*settings);
}

void ToolWindow::saveWithTheSettings()
{
    if (m_savedWithTheSettings)
        return;
    m_savedWithTheSettings = true;
    addItemWriter(this, [this](QSettings& settings) { writeItems(settings); });
}

void ToolWindow::storeAtTheEnd()
{
    if (!m_savedWithTheSettings)
        storeItems();
}

void ToolWindow::buildStoredPages()
{
    if (!m_storedPages)
        return;
    // Taken first: the pages' own calls come back here.
    const std::function<void()> build = std::move(m_storedPages);
    m_storedPages = nullptr;
    m_addingStoredPages = true;
    build();
    m_addingStoredPages = false;
    table()->setCurrentIndex(table()->count() - 1);
}

void ToolWindow::showEvent(QShowEvent* event)
{
    buildStoredPages();
    QMainWindow::showEvent(event);
}

void ToolWindow::add(QWidget* tab)
{
    const QString label = m_prefixe + QStringLiteral(" n\u00B0%1").arg(m_compteur);
    const int index = m_ui->_table->addTab(tab, label);
    if (!m_addingStoredPages)
        m_ui->_table->setCurrentIndex(index);
}

QTabWidget* ToolWindow::table() const
{
    return m_ui->_table;
}

QToolBar* ToolWindow::toolBar() const
{
    return m_ui->toolBar;
}

void ToolWindow::remove()
{
    buildStoredPages();
    QWidget* page = m_ui->_table->currentWidget();
    if (!page)
        return;
    m_ui->_table->removeTab(m_ui->_table->indexOf(page));
    page->disconnect();
    delete page;
}
