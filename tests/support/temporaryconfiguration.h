#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A conf.ini of its own in a temporary folder for the lifetime of a test,
// with the settings reset to their defaults. The user's configuration
// folder (autostart entry, fallback conf.ini) is redirected there as well,
// to "config/".
class TemporaryConfiguration
{
public:
    TemporaryConfiguration();
    ~TemporaryConfiguration();

    QString path() const { return m_dir.filePath(QStringLiteral("conf.ini")); }
    QString dirPath() const { return m_dir.path(); }
    // A fresh reader of the file, to look at what was written.
    std::unique_ptr<QSettings> read() const;
    // Replaces the whole file with `contents`; false when it could not.
    [[nodiscard]] bool write(const QByteArray& contents) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previousConfigHome;
};
