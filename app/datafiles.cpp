#include "app/datafiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString locateDataFile(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char(':')) || QDir::isAbsolutePath(path))
        return path;
    const QStringList bases = {QDir::currentPath(), QCoreApplication::applicationDirPath(),
                               QStringLiteral(CLEPSA_DATA_DIR)};
    for (const QString& base : bases) {
        const QFileInfo candidate(QDir(base), path);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return path;
}
