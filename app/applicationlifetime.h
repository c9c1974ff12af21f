#pragma once

#include <functional>
#include <memory>

class QApplication;
class SingleInstance;
class QTranslator;
class QWidget;

// Everything that happens around the event loop: the construction brings the
// program up (one clock per conf.ini, global objects, settings, translator,
// first start, the window shown or left in the tray); the destruction saves
// and tears down in the fixed order that lets the tool windows write their
// items last.
class ApplicationLifetime
{
public:
    // Builds the main window once the settings are loaded; main() hands in
    // the real one, so that start-up depends on no window of its own.
    using MainWindowFactory = std::function<std::unique_ptr<QWidget>()>;

    ApplicationLifetime(QApplication& app, const MainWindowFactory& makeMainWindow);
    ~ApplicationLifetime();

    ApplicationLifetime(const ApplicationLifetime&) = delete;
    ApplicationLifetime& operator=(const ApplicationLifetime&) = delete;

    QWidget* mainWindow() const { return m_fenetre.get(); }
    // True when a clock already ran on the same conf.ini and has come to the
    // front instead: nothing was started, nothing will be written, and the
    // program should end at once.
    bool handedOver() const;

private:
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<QTranslator> m_translator;
    // Destroyed by hand after the settings are saved and the global objects
    // are gone: its tool windows write their items last.
    std::unique_ptr<QWidget> m_fenetre;
};
