#pragma once

#include "app/clockface.h"

#include <QDate>
#include <QMainWindow>
#include <QSystemTrayIcon>

#include <memory>

class AboutDialog;
class CachedFrame;
class DialogPreferences;
class FenetreAlarmes;
class FenetreChronometres;
class FenetreComptesARebours;
class FenetreTempsEcoules;
class QAction;
class QMenu;
class ToolWindow;

namespace Ui {
class MainWindow;
}

// The small clock window: face, digital time, bell and date, the menus, and
// the tray icon's menu. It owns every other window of the program; menus and
// the tray only show them. Closing it only hides it.
class FenetrePrincipale : public QMainWindow
{
    Q_OBJECT

public:
    // Needs g_jtime and g_trayIcon, and the settings loaded.
    FenetrePrincipale();
    ~FenetrePrincipale() override;

    // The preferences dialog, made at the first call.
    DialogPreferences* preferencesDialog();

public slots:
    void update_horloge();
    void nouvelle_heure();
    void changer_langue(QAction* action);
    void slot_openWebsiteHomepage();
    void slot_openWebsiteHelpUs();
    void preferences();
    void setStaysOnTopHint();
    // Runs the plug-in whose path is the entry's what's-this text; entries
    // without one are not plug-ins.
    void execute_plugin(QAction* action);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QList<ToolWindow*> tools() const;
    // Builds the tools' stored pages; once is enough.
    void buildToolPages();
    // The complete save, once the event at hand is done.
    void saveSoon();
    void drawFace();
    void describeFace(const ClockFaceLook& look);
    void fixTickingSizes();
    void fillPluginMenu();
    void buildTrayMenu();
    void setTrayMenuTitle();
    void showFromTray(QSystemTrayIcon::ActivationReason reason);
    void playChime(const QString& wavFile);
    void shakeForTheHour();

    std::unique_ptr<Ui::MainWindow> m_ui;

    // Children created once, the tool windows in the constructor, the
    // dialogs at their first showing; the preferences and the tool windows
    // are deleted by hand, in a fixed order, because the tool windows save
    // their items as they go.
    DialogPreferences* m_preferences = nullptr;
    FenetreAlarmes* m_alarmes = nullptr;
    FenetreChronometres* m_chronometres = nullptr;
    FenetreComptesARebours* m_comptesARebours = nullptr;
    FenetreTempsEcoules* m_tempsEcoules = nullptr;
    AboutDialog* m_aPropos = nullptr;

    // Lives for the whole run: the tray icon only borrows it.
    std::unique_ptr<QMenu> m_menuTray;
    QAction* m_actionTitreTray = nullptr;
    bool m_drawn = false;
    // The date the date line shows, made anew only when it changes.
    QDate m_shownDate;
    bool m_trayMenuOpen = false;
    bool m_saveScheduled = false;
    // What the face shows; it is repainted only when that changes.
    ClockFaceLook m_shownFace;
    CachedFrame* m_faceFrame = nullptr;
};
