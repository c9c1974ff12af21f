#include "mainwindow/pluginloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

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

QString pluginDirectory()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/plugins");
}

QString pluginPath(const QString& fichier)
{
    return pluginDirectory() + QLatin1Char('/') + fichier;
}

QStringList pluginFiles()
{
    QStringList filters;
    for (const QString& suffix : kSuffixes)
        filters << QLatin1Char('*') + suffix;
    // Name filters ignore case unless QDir::CaseSensitive is asked for.
    return QDir(pluginDirectory()).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

// Every library is unloaded again once checked or named: only the name is
// kept, and a file removed or replaced after the start must be seen as such
// when chosen, not found still loaded under its path. Loads are counted, so
// a library whose "plugin" has run, loaded once more and never unloaded
// (FenetrePrincipale::execute_plugin()), stays.

bool plugin_utilisable(const QString& fichier)
{
    QLibrary library(pluginPath(fichier));
    if (!library.load())
        return false;
    const bool usable = library.resolve("plugin") != nullptr;
    library.unload();
    return usable;
}

QString nom_plugin(QString fichier, bool demanderNom)
{
    const QString base = withoutSuffix(fichier);
    if (!demanderNom)
        return base;

    QLibrary library(pluginPath(fichier));
    if (!library.load())
        return base;
    const auto getName = reinterpret_cast<GetName>(library.resolve("getName"));
    // Copied before the library goes; a null name reads as an empty one.
    const QString name = getName ? QString::fromLatin1(getName()) : base;
    library.unload();
    return name;
}

QString pluginFileNamed(const QString& nom)
{
    for (const QString& file : pluginFiles()) {
        if (nom_plugin(file, false) == nom)
            return file;
    }
    return QString();
}
