#include "tools/toolwindow.h"

#include "app/configuration.h"
#include "app/pictures.h"
#include "app/windowgestures.h"
#include "tools/alarmsound.h"

#include "ui_toolwindow.h"

#include <QAction>
#include <QKeySequence>
#include <QSettings>

ToolWindow::ToolWindow(QWidget* parent, const QString& windowTitle, const QString& prefix, StoredPages stored)
    : QMainWindow(parent)
    , m_prefixe(prefix)
    , m_storedPagesLater(stored == StoredPages::Later)
{
    new WindowGestures(this, Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(windowTitle);
    setWindowIcon(picture(QStringLiteral(":/ressources/Clock.png")));
}

ToolWindow::~ToolWindow()
{
    removeItemWriter(this);
    // The sound of a ringing item ends with the tools, at the end of the
    // run: left to the end of the application, it would outlive the sound
    // system it plays on.
    stopAlarmSound();
    // Deleting a page takes its tab away, so always delete the first one.
    while (QWidget* page = m_ui ? m_ui->_table->widget(0) : nullptr)
        delete page;
}

void ToolWindow::makeForm()
{
    if (m_ui)
        return;
    // The form would name the window after itself.
    const QString title = windowTitle();
    m_ui = std::make_unique<Ui::ToolWindow>();
    m_ui->setupUi(this);
    setWindowTitle(title);

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
    addToolBarControls(m_ui->toolBar);
}

void ToolWindow::setVisible(bool visible)
{
    if (visible)
        makeForm();
    QMainWindow::setVisible(visible);
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
    // No page, no form to make yet.
    if (m_ui)
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
    const int index = table()->addTab(tab, label);
    if (!m_addingStoredPages)
        table()->setCurrentIndex(index);
}

QTabWidget* ToolWindow::table()
{
    makeForm();
    return m_ui->_table;
}

void ToolWindow::remove()
{
    buildStoredPages();
    QWidget* page = table()->currentWidget();
    if (!page)
        return;
    table()->removeTab(table()->indexOf(page));
    page->disconnect();
    delete page;
}
