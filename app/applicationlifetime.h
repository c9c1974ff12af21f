#pragma once

#include <QUrl>

#include <memory>

class FenetrePrincipale;
class QApplication;
class QTranslator;

// Everything that happens around the event loop: the construction brings the
// program up (global objects, settings, translator, first start, the window
// shown or left in the tray); the destruction saves and tears down in the
// fixed order that lets the tool windows write their items last.
class ApplicationLifetime
{
public:
    explicit ApplicationLifetime(QApplication& app);
    ~ApplicationLifetime();

    ApplicationLifetime(const ApplicationLifetime&) = delete;
    ApplicationLifetime& operator=(const ApplicationLifetime&) = delete;

    static QUrl homePageUrl();
    static QUrl helpUsPageUrl();

private:
    std::unique_ptr<QTranslator> m_translator;
    // Destroyed by hand after the settings are saved and the global objects
    // are gone: its tool windows write their items last.
    std::unique_ptr<FenetrePrincipale> m_fenetre;
};
