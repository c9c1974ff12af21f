#include "platform/autostart.h"

#include <QSettings>

namespace platform {

namespace {

const QString kRunKey = QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

} // namespace

QString autostartChoiceText()
{
    return QStringLiteral("Lancer au démarrage de Windows");
}

QString autostartEntryPath()
{
    return QString();
}

void setAutostart(bool enabled, const QString& programPath)
{
    // The current user's key needs no administrator rights, unlike the
    // machine-wide one, where a write would fail silently for most users.
    QSettings user(QStringLiteral("HKEY_CURRENT_USER") + kRunKey, QSettings::NativeFormat);
    if (enabled) {
        user.setValue(QStringLiteral("Rivozur"), programPath);
        return;
    }
    user.remove(QStringLiteral("Rivozur"));

    // Older installs wrote the machine-wide value; clear it when we may.
    QSettings machine(QStringLiteral("HKEY_LOCAL_MACHINE") + kRunKey, QSettings::NativeFormat);
    machine.remove(QStringLiteral("Rivozur"));
}

} // namespace platform
