#include "app/datafiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString locateDataFile(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char(':')) || QDir::isAbsolutePath(path))
        return path;
    const QStringList bases = QStringList{QDir::currentPath(), QCoreApplication::applicationDirPath()}
        + installedDirectories(QStringLiteral(CLEPSA_DATA_DIR_FROM_BIN), QStringLiteral(CLEPSA_DATA_DIR));
    for (const QString& base : bases) {
        const QFileInfo candidate(QDir(base), path);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return path;
}

QStringList installedDirectories(const QString& fromProgram, const QString& absolute)
{
    const QString seen =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + fromProgram);
    return seen == QDir::cleanPath(absolute) ? QStringList{seen} : QStringList{seen, absolute};
}
