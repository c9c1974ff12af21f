#include "app/applicationlifetime.h"

#include "app/configuration.h"
#include "app/globals.h"
#include "app/pictures.h"
#include "app/singleinstance.h"
#include "app/weblinks.h"
#include "platform/termination.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSystemTrayIcon>
#include <QTranslator>
#include <QWidget>

ApplicationLifetime::ApplicationLifetime(QApplication& app, const MainWindowFactory& makeMainWindow)
    : m_translator(std::make_unique<QTranslator>())
{
    QApplication::setApplicationName(QStringLiteral("Clepsa"));
    // The name of the installed .desktop file: the Wayland app id, and what
    // the session's task bar and notification server match the clock with.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.clepsa.Clepsa"));
    m_instance = std::make_unique<SingleInstance>(configurationFilePath());
    if (m_instance->handedOver())
        return;
    app.setWindowIcon(picture(QStringLiteral(":/ressources/Clock.png")));
    // Closing or hiding every window leaves the clock in the tray; only
    // "Quitter" (or the system asking us to end) stops it.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::quitOnTerminationRequest();

    creer_objets_globaux();
    charger_configuration();

    // Only the toolkit's own texts are translated; ours are French already.
    (void)m_translator->load(QStringLiteral("qt_") + QLocale::system().name(),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath), QString(), QString());
    app.installTranslator(m_translator.get());

    m_fenetre = makeMainWindow();
    QObject::connect(m_instance.get(), &SingleInstance::activationRequested, m_fenetre.get(), [this] {
        m_fenetre->setWindowState(m_fenetre->windowState() & ~Qt::WindowMinimized);
        m_fenetre->show();
        m_fenetre->raise();
        m_fenetre->activateWindow();
    });

    if (g_configuration.premier_demarrage) {
        QUrl firstStart = homePageUrl();
        if (!firstStart.isEmpty())
            firstStart.setQuery(QStringLiteral("v=from_h"));
        openProjectPage(firstStart);
        g_configuration.premier_demarrage = false;
        sauver_configuration();
    }

    // Otherwise only the tray icon is there; activating it shows the window.
    // Without a tray there would be no way to reach the clock at all.
    if (!g_configuration.demarrage_reduire || !QSystemTrayIcon::isSystemTrayAvailable())
        m_fenetre->show();
}

ApplicationLifetime::~ApplicationLifetime()
{
    if (handedOver())
        return;
    // A start from now on runs in our place once we are done, rather than
    // hand over to a clock that will not show itself again.
    m_instance->stopListening();
    // The end: a failed save from here on is only printed.
    setSaveFailureHandler({});
    // The settings, "date" and every tool's items, in one go. The pages not
    // built yet are saved as they were read; nothing rings now.
    sauver_configuration();
    // The window and its tools go before the tick source and the tray icon
    // that they reach.
    m_fenetre.reset();
    liberer_objets_globaux();
}

bool ApplicationLifetime::handedOver() const
{
    return m_instance->handedOver();
}
