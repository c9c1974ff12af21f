#pragma once

#include <QString>
#include <QStringList>

// Plug-ins are shared libraries dropped into "plugins" beside the program.
// A plug-in exports, with C linkage, "plugin" (a function taking nothing,
// run when its menu entry is chosen) and may export "getName" (a function
// taking nothing and returning a const char*, its name in the menu, in
// Latin-1). A library without "plugin" is not a plug-in.

// The plug-in folder, and a file in it.
QString pluginDirectory();
QString pluginPath(const QString& fichier);

// The .dll, .so and .dylib files of the plug-in folder, in any case, sorted
// by name; none when the folder is missing.
QStringList pluginFiles();

// True when the file loads as a library that exports "plugin".
bool plugin_utilisable(const QString& fichier);

// The file name less one trailing .dll, .so or .dylib (in any case): the
// base name, which finds the file again when its entry is chosen. With
// `demanderNom`, what the library's "getName" returns instead, when it has
// one.
QString nom_plugin(QString fichier, bool demanderNom);

// The listed file whose base name is `nom`, looked up afresh; empty when
// there is none (any more).
QString pluginFileNamed(const QString& nom);
