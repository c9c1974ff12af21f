#include "mainwindow/fenetreprincipale.h"

#include "app/clockface.h"
#include "app/configuration.h"
#include "app/datafiles.h"
#include "app/frenchdates.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "app/labelsize.h"
#include "app/pictures.h"
#include "app/shake.h"
#include "app/weblinks.h"
#include "app/windowgestures.h"
#include "mainwindow/aboutdialog.h"
#include "mainwindow/cachedframe.h"
#include "mainwindow/cachedglyphs.h"
#include "mainwindow/pluginloader.h"
#include "platform/beep.h"
#include "preferences/dialogpreferences.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/alarmsound.h"
#include "tools/alert.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"
#include "tools/stopwatches/fenetrechronometres.h"

#include "ui_mainwindow.h"

#include <QApplication>
#include <QAudioDevice>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLibrary>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPainter>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace {

// How long the balloon of a plug-in that cannot be run asks to stay.
constexpr int kPluginErrorBalloonMs = 10000;
constexpr int kToolPagesAtTheLatestMs = 1000;

// "Samedi 05 Décembre 2026".
QString dateLine(const QDate& date)
{
    return frenchDayName(date) + date.toString(u" dd ") + frenchMonthName(date) + date.toString(u" yyyy");
}

} // namespace

FenetrePrincipale::FenetrePrincipale()
    : m_ui(std::make_unique<Ui::MainWindow>())
{
    Q_ASSERT(g_jtime && g_trayIcon);
    m_ui->setupUi(this);
    showAtScreenDensity(m_ui->m_cloche, QStringLiteral(":/ressources/GoldBell.png"));
    new WindowGestures(this, Qt::Dialog | Qt::FramelessWindowHint);

    // Once an item has alerted, a kill must not bring its alert back at the
    // next start: the save that follows records that it came.
    setAlertDeliveredHandler([this] { saveSoon(); });
    // The tools read their stored items now, but build their pages once the
    // clock has been drawn (buildToolPages()), so that many items do not
    // keep it from showing. A stored alarm due this very minute rings then.
    // Every save of the settings writes their items too.
    m_alarmes = new FenetreAlarmes(this, ToolWindow::StoredPages::Later);
    m_chronometres = new FenetreChronometres(this, ToolWindow::StoredPages::Later);
    m_comptesARebours = new FenetreComptesARebours(this, ToolWindow::StoredPages::Later);
    m_tempsEcoules = new FenetreTempsEcoules(this, ToolWindow::StoredPages::Later);
    for (ToolWindow* tool : tools())
        tool->saveWithTheSettings();
    // Started hidden, there is nothing to draw first; and a window never
    // drawn must not keep the alarms silent for long.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible())
            buildToolPages();
    });
    QTimer::singleShot(kToolPagesAtTheLatestMs, this, &FenetrePrincipale::buildToolPages);

    setStaysOnTopHint();

    connect(m_ui->actionQuitter, &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(m_ui->actionAlarme, &QAction::triggered, m_alarmes, &QWidget::show);
    connect(m_ui->actionChronometre, &QAction::triggered, m_chronometres, &QWidget::show);
    connect(m_ui->actionCar, &QAction::triggered, m_comptesARebours, &QWidget::show);
    connect(m_ui->actionTe, &QAction::triggered, m_tempsEcoules, &QWidget::show);
    connect(m_ui->actionPreferences, &QAction::triggered, this, &FenetrePrincipale::preferences);
    fillPluginMenu();
    connect(m_ui->actionAide, &QAction::triggered, this, &FenetrePrincipale::slot_openWebsiteHomepage);
    connect(m_ui->actionAidezNous, &QAction::triggered, this, &FenetrePrincipale::slot_openWebsiteHelpUs);
    connect(m_ui->actionAPropos, &QAction::triggered, this, [this] {
        // Made at its first showing: most runs never show it.
        if (!m_aPropos)
            m_aPropos = new AboutDialog(this);
        m_aPropos->show();
    });

    buildTrayMenu();
    connect(g_trayIcon, &QSystemTrayIcon::activated, this, &FenetrePrincipale::showFromTray);
    // A save that fails while the clock runs (the preferences, a plug-in
    // about to run) would otherwise go unseen.
    setSaveFailureHandler([](const QString& file) {
        showTrayMessage(tr("Erreur"), tr("Impossible d'enregistrer les réglages dans %1").arg(file),
                        QSystemTrayIcon::Critical, 10000);
    });

    connect(g_jtime, &JTime::secondChanged, this, &FenetrePrincipale::update_horloge);
    connect(g_jtime, &JTime::hourChanged, this, &FenetrePrincipale::nouvelle_heure);

    fixTickingSizes();
    // The window is never shown with empty labels.
    update_horloge();
    drawFace();
}

FenetrePrincipale::~FenetrePrincipale()
{
    // The tray icon outlives us while the program runs on without a window
    // (tests); it must not keep pointing at our menu.
    if (g_trayIcon && g_trayIcon->contextMenu() == m_menuTray.get())
        g_trayIcon->setContextMenu(nullptr);
    setSaveFailureHandler({});
    setAlertDeliveredHandler({});

    // The tools' items went with the last save of the settings.
    delete m_preferences;
    delete m_alarmes;
    delete m_chronometres;
    delete m_comptesARebours;
    delete m_tempsEcoules;
}

void FenetrePrincipale::closeEvent(QCloseEvent* event)
{
    // Closing hides the clock in the tray. Without a tray it would be out of
    // reach, so it goes to the task bar instead. Only the user's closing
    // counts: the program ending closes its windows as well.
    if (event->spontaneous() && !QSystemTrayIcon::isSystemTrayAvailable()) {
        event->ignore();
        showMinimized();
        return;
    }
    QMainWindow::closeEvent(event);
}

void FenetrePrincipale::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    if (!m_drawn) {
        m_drawn = true;
        QTimer::singleShot(0, this, &FenetrePrincipale::buildToolPages);
    }
}

QList<ToolWindow*> FenetrePrincipale::tools() const
{
    return {m_alarmes, m_chronometres, m_comptesARebours, m_tempsEcoules};
}

void FenetrePrincipale::buildToolPages()
{
    for (ToolWindow* tool : tools())
        tool->buildStoredPages();
}

void FenetrePrincipale::saveSoon()
{
    // Alarms of one minute ring together: one save for them all.
    if (m_saveScheduled)
        return;
    m_saveScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_saveScheduled = false;
        sauver_configuration();
    });
}

void FenetrePrincipale::showEvent(QShowEvent* event)
{
    drawFace();
    QMainWindow::showEvent(event);
}

void FenetrePrincipale::drawFace()
{
    // Painted as it shows, at the tick's time: every second with the second
    // hand, once a minute without it, and at the next tick after a setting
    // changes.
    const ClockFaceLook look = configuredFaceLook(*g_jtime);
    if (look == m_shownFace)
        return;
    if (!look.sameUnderSecondHand(m_shownFace)) {
        m_faceFrame->stillChanged();
        describeFace(look);
    }
    m_shownFace = look;
    m_ui->m_horloge->update();
}

void FenetrePrincipale::describeFace(const ClockFaceLook& look)
{
    // What a screen reader says of the face: the minute its hands tell.
    // Neither a repaint nor a layout follows.
    m_ui->m_horloge->setAccessibleDescription(
        tr("Il est %1 h %2").arg(look.hour).arg(look.minute, 2, 10, QLatin1Char('0')));
}

void FenetrePrincipale::fixTickingSizes()
{
    // The face and the time change every second. At a fixed size a label
    // only repaints itself then, instead of having the whole window laid out
    // again; the face's frame is painted from a snapshot, and the face in
    // its contents, which are the size of a face.
    m_ui->m_horloge->setPixmap(QPixmap(kClockFaceSize, kClockFaceSize));
    m_ui->m_horloge->setFixedSize(m_ui->m_horloge->sizeHint());
    m_faceFrame = new CachedFrame(
        m_ui->m_horloge,
        [this](QPainter& painter, const QRect& contents) {
            paintFaceUnderSecondHand(painter, contents.topLeft(), m_shownFace);
        },
        [this](QPainter& painter, const QRect& contents) {
            paintSecondHand(painter, contents.topLeft(), m_shownFace);
        });
    holdSize(m_ui->m_heure, QStringLiteral("00:00:00"));
    new CachedGlyphs(m_ui->m_heure, QStringLiteral("0123456789:"));
    // Opaque, the time repaints itself alone, not the window beneath it too.
    m_ui->m_heure->setAutoFillBackground(true);
}

void FenetrePrincipale::fillPluginMenu()
{
    QMenu* menu = m_ui->menuPlugins;
    // An entry keeps its file's path: two folders may hold plug-ins of the
    // same name.
    for (const QString& file : pluginFiles()) {
        if (plugin_utilisable(file))
            menu->addAction(nom_plugin(file, true))->setWhatsThis(file);
    }
    if (menu->isEmpty())
        menu->addAction(tr("Vide..."))->setEnabled(false);
    QAction* download = menu->addAction(tr("Télécharger..."));
    connect(download, &QAction::triggered, this, &FenetrePrincipale::slot_openWebsiteHomepage);
    connect(menu, &QMenu::triggered, this, &FenetrePrincipale::execute_plugin);
}

void FenetrePrincipale::execute_plugin(QAction* action)
{
    const QString file = action->whatsThis();
    // Looked up afresh: the file may have gone since the start.
    if (file.isEmpty() || !pluginFiles().contains(file))
        return;
    QLibrary library(file);
    if (!library.load())
        return;
    const QFunctionPointer plugin = library.resolve("plugin");
    if (!plugin) {
        library.unload();
        showTrayMessage(tr("Erreur"), tr("Impossible de charger la fonction"), QSystemTrayIcon::Information,
                        kPluginErrorBalloonMs);
        return;
    }
    // It runs in our process, and a crash there must lose nothing of the
    // run: the settings and every tool's items.
    sauver_configuration();
    plugin();
    // Left loaded for good: the plug-in may have left threads or callbacks
    // behind.
}

void FenetrePrincipale::setTrayMenuTitle()
{
    m_actionTitreTray->setText(tr("Rivozur") + QStringLiteral(" - ") + g_jtime->toString(u"hh:mm:ss"));
}

void FenetrePrincipale::buildTrayMenu()
{
    m_menuTray = std::make_unique<QMenu>();
    m_actionTitreTray = m_menuTray->addAction(tr("Rivozur"));
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setWeight(QFont::DemiBold);
    titleFont.setItalic(false);
    m_actionTitreTray->setFont(titleFont);
    connect(m_menuTray.get(), &QMenu::aboutToShow, this, [this] {
        m_trayMenuOpen = true;
        setTrayMenuTitle();
    });
    connect(m_menuTray.get(), &QMenu::aboutToHide, this, [this] { m_trayMenuOpen = false; });
    m_menuTray->addSeparator();
    m_menuTray->addMenu(m_ui->menuOutils);
    m_menuTray->addMenu(m_ui->menuPlugins);
    m_menuTray->addMenu(m_ui->menuConfiguration);
    QAction* quit = m_menuTray->addAction(tr("Quitter"));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);
    g_trayIcon->setContextMenu(m_menuTray.get());
}

void FenetrePrincipale::showFromTray(QSystemTrayIcon::ActivationReason reason)
{
    // Every kind of activation brings the window back. Showing a window closes
    // every open popup (toolkit rule), and the tray opens its menu before it
    // reports a context request: that menu must come back where it was.
    const bool menuWasOpen = reason == QSystemTrayIcon::Context && m_menuTray->isVisible();
    const QPoint menuPosition = m_menuTray->pos();
    // Nor may the window take the focus from the menu once the window
    // manager gets to it, which on a slow machine is after the check below.
    setAttribute(Qt::WA_ShowWithoutActivating, menuWasOpen);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    if (menuWasOpen && !m_menuTray->isVisible())
        m_menuTray->popup(menuPosition);
}

void FenetrePrincipale::update_horloge()
{
    // Everything shows the date and time of the tick, not a fresh reading, so
    // the date and the time cannot disagree across midnight.
    const QTime now = *g_jtime;
    // The face is not drawn while nobody can see it.
    if (isVisible())
        drawFace();
    m_ui->m_cloche->setVisible(m_alarmes->hasActiveAlarm());

    const QString time = now.toString(u"hh:mm:ss");
    m_ui->m_heure->setText(time);
    // Its title is only seen while the menu is open; a tray that shows menus
    // itself would be sent every change.
    if (m_trayMenuOpen)
        setTrayMenuTitle();
    const QDate today = g_jtime->checkedAt().date();
    if (today != m_shownDate) {
        m_shownDate = today;
        m_ui->m_date->setText(dateLine(today));
    }
    const QString date = m_ui->m_date->text();

    // What comes next, under the date and time.
    const QString nextAlarm = m_alarmes->nextAlarmLine();
    if (m_ui->m_cloche->toolTip() != nextAlarm)
        m_ui->m_cloche->setToolTip(nextAlarm);
    QString toolTip = date + QStringLiteral(" - ") + time.left(5);
    for (const QString& line : {nextAlarm, m_comptesARebours->nearestCountdownLine()}) {
        if (!line.isEmpty())
            toolTip += QLatin1Char('\n') + line;
    }
    if (g_trayIcon->toolTip() != toolTip)
        g_trayIcon->setToolTip(toolTip);
}

void FenetrePrincipale::nouvelle_heure()
{
    const Configuration& c = g_configuration;
    // A ringing alarm's sound is not drowned by the chime.
    if (alarmSoundPlaying()) {
        shakeForTheHour();
        return;
    }
    // The beep plays on by itself and the shake follows its end, so that a
    // dialog opened meanwhile holds up neither. A beep that cannot sound (no
    // output, or a test tone playing) is skipped.
    if (c.sonnerie_type == kChimeBeep
        && platform::startBeep(c.sonnerie_bip_frequence, c.sonnerie_bip_duree, this,
                               [this] { shakeForTheHour(); }))
        return;
    if (c.sonnerie_type == kChimeWav)
        playChime(c.sonnerie_son);
    shakeForTheHour();
}

void FenetrePrincipale::shakeForTheHour()
{
    const Configuration& c = g_configuration;
    if (c.vibration_active)
        vibrer_fenetre(this, c.vibration_intensite, c.vibration_duree);
}

void FenetrePrincipale::playChime(const QString& wavFile)
{
    // Without an audio output the effect would wait for one forever, and
    // every hour would leave one more behind; so would a path that names no
    // file (an empty one names the working directory).
    const QFileInfo file(locateDataFile(wavFile));
    if (QMediaDevices::defaultAudioOutput().isNull() || !file.isFile())
        return;
    // The sound object must outlive this slot until the chime has played to
    // its end, or it would be cut short; it goes by itself afterwards, and at
    // once when the file cannot be played.
    auto* sound = new QSoundEffect(this);
    connect(sound, &QSoundEffect::playingChanged, sound, [sound] {
        if (!sound->isPlaying())
            sound->deleteLater();
    });
    connect(sound, &QSoundEffect::statusChanged, sound, [sound] {
        if (sound->status() == QSoundEffect::Error)
            sound->deleteLater();
    });
    sound->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    sound->play();
}

void FenetrePrincipale::changer_langue(QAction* action)
{
    g_configuration.langue = action->whatsThis();
    QMessageBox::information(
        this, tr("Information"),
        tr("Veuillez redémarrer le programme pour que le nouveau paramètre soit pris en compte."));
}

void FenetrePrincipale::slot_openWebsiteHomepage()
{
    openProjectPage(homePageUrl());
}

void FenetrePrincipale::slot_openWebsiteHelpUs()
{
    openProjectPage(helpUsPageUrl());
}

DialogPreferences* FenetrePrincipale::preferencesDialog()
{
    // Made at its first showing: the largest form of the program, which
    // most runs never open, would otherwise double the start's work.
    if (!m_preferences) {
        m_preferences = new DialogPreferences(this);
        // It takes the look of the other windows; theirs is unchanged.
        setStaysOnTopHint();
    }
    return m_preferences;
}

void FenetrePrincipale::preferences()
{
    // Accepted or not, the window comes back framed and in front.
    preferencesDialog()->exec();
    setStaysOnTopHint();
    show();
}

void FenetrePrincipale::setStaysOnTopHint()
{
    // Open windows stay open, and on top when asked: hiding and showing a
    // window again at once can lose the window manager's above state.
    const Qt::WindowFlags framed = framedWindowFlags(g_configuration.demarrage_onTop);
    for (QWidget* window :
         QList<QWidget*>{this, m_preferences, m_alarmes, m_chronometres, m_comptesARebours, m_tempsEcoules}) {
        // The preferences may be still to make.
        if (window)
            applyWindowFlags(window, framed);
    }
}
