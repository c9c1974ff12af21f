#include "platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {

namespace {

// Exec keys follow the desktop entry quoting rules: the path is quoted and
// the characters that stay special inside quotes are escaped.
QString quotedExec(const QString& programPath)
{
    QString escaped;
    for (const QChar c : programPath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            escaped += QLatin1Char('%');
        escaped += c;
    }
    // A backslash must itself be doubled once more by the string-value rule.
    escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

QString autostartChoiceText()
{
    return QStringLiteral("Lancer à l'ouverture de la session");
}

QString autostartEntryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/Rivozur.desktop");
}

void setAutostart(bool enabled, const QString& programPath)
{
    const QString path = autostartEntryPath();
    if (!enabled) {
        QFile::remove(path);
        return;
    }

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Clepsa\n"
                                         "Comment=Horloge de bureau\n"
                                         "Exec=%1\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(quotedExec(programPath));
    file.write(entry.toUtf8());
    file.commit();
}

} // namespace platform
