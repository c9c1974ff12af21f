#pragma once

#include <QString>
#include <QStringList>

// Where a file named in the settings is. A relative path (the default chime
// "ressources/ding.wav", an image) is looked up from the working directory,
// then beside the program, then in the installed data directory, so that a
// clock started by the session or a launcher, from the home folder, still
// finds it. Absolute and ":/" resource paths are taken as they are. When no
// such file exists, the path comes back unchanged. The stored setting is
// never rewritten.
QString locateDataFile(const QString& path);

// An installed folder: first as seen from the program (`fromProgram`,
// relative to its folder), so that an installed tree moved elsewhere, a
// package unpacked into another root, still finds its own files; then where
// the build installs it (`absolute`). Once when both are the same.
QStringList installedDirectories(const QString& fromProgram, const QString& absolute);
