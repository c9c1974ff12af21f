#pragma once

#include <QString>

namespace platform {

// Starts the program with the user's session ("Rivozur" entry) when enabled,
// removes that entry otherwise. Failures are silent.
//  - Windows: the value "Rivozur" under the current user's Run key.
//  - Linux and other XDG desktops: "Rivozur.desktop" in the user's autostart
//    directory, whose Exec is programPath.
void setAutostart(bool enabled, const QString& programPath);

// How the preferences name the choice: "Lancer au démarrage de Windows" on
// Windows, "Lancer à l'ouverture de la session" elsewhere.
QString autostartChoiceText();

// Where the XDG autostart entry lives (empty on Windows).
QString autostartEntryPath();

} // namespace platform
