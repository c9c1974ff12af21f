#include "mainwindow/pluginloader.h"

#include "app/datafiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QSet>
#include <QStandardPaths>

#include <array>

namespace {

using GetName = const char* (*)();

const std::array<QString, 3> kSuffixes = {QStringLiteral(".dll"), QStringLiteral(".so"),
                                          QStringLiteral(".dylib")};

// Only one suffix, and only at the end: "my.social.so" is "my.social".
QString withoutSuffix(const QString& file)
{
    for (const QString& suffix : kSuffixes) {
        if (file.endsWith(suffix, Qt::CaseInsensitive))
            return file.chopped(suffix.size());
    }
    return file;
}

} // namespace

QStringList pluginDirectories()
{
    QStringList folders{QCoreApplication::applicationDirPath() + QStringLiteral("/plugins")};
    folders << installedDirectories(QStringLiteral(CLEPSA_PLUGIN_DIR_FROM_BIN),
                                    QStringLiteral(CLEPSA_PLUGIN_DIR));
    folders << QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/Clepsa/plugins");
    return folders;
}

QStringList pluginFiles()
{
    QStringList filters;
    for (const QString& suffix : kSuffixes)
        filters << QLatin1Char('*') + suffix;
    QStringList files;
    QSet<QString> seen;
    for (const QString& folder : pluginDirectories()) {
        const QDir dir(folder);
        // Name filters ignore case unless QDir::CaseSensitive is asked for.
        for (const QString& name : dir.entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase)) {
            const QString path = dir.filePath(name);
            const QString canonical = QFileInfo(path).canonicalFilePath();
            if (seen.contains(canonical))
                continue;
            seen.insert(canonical);
            files << path;
        }
    }
    return files;
}

// Every library is unloaded again once checked or named: only the name is
// kept, and a file removed or replaced after the start must be seen as such
// when chosen, not found still loaded under its path. Loads are counted, so
// a library whose "plugin" has run, loaded once more and never unloaded
// (FenetrePrincipale::execute_plugin()), stays.

bool plugin_utilisable(const QString& fichier)
{
    QLibrary library(fichier);
    if (!library.load())
        return false;
    const bool usable = library.resolve("plugin") != nullptr;
    library.unload();
    return usable;
}

QString nom_plugin(QString fichier, bool demanderNom)
{
    const QString base = withoutSuffix(QFileInfo(fichier).fileName());
    if (!demanderNom)
        return base;

    QLibrary library(fichier);
    if (!library.load())
        return base;
    const auto getName = reinterpret_cast<GetName>(library.resolve("getName"));
    // Copied before the library goes; a null name reads as an empty one.
    const QString name = getName ? QString::fromLatin1(getName()) : base;
    library.unload();
    return name;
}
