#pragma once

#include <QString>
#include <QStringList>

// Plug-ins are shared libraries dropped into a plug-in folder. A plug-in
// exports, with C linkage, "plugin" (a function taking nothing, run when its
// menu entry is chosen) and may export "getName" (a function taking nothing
// and returning a const char*, its name in the menu, in Latin-1). A library
// without "plugin" is not a plug-in.

// The plug-in folders, in the order in which the menu lists them: "plugins"
// beside the program (a portable copy), the installed one (seen from the
// program, then where the build installs it), and the user's own,
// ~/.local/share/Clepsa/plugins (XDG_DATA_HOME honoured).
QStringList pluginDirectories();

// The paths of the .dll, .so and .dylib files (in any case) of every
// plug-in folder, each folder's sorted by name; a file reached through two
// folders (the program beside its installed folder, a link) comes once.
QStringList pluginFiles();

// True when the file loads as a library that exports "plugin".
bool plugin_utilisable(const QString& fichier);

// The file name less its folder and one trailing .dll, .so or .dylib (in any
// case). With `demanderNom`, what the library's "getName" returns instead,
// when it has one.
QString nom_plugin(QString fichier, bool demanderNom);
