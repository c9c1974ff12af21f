#include "support/temporaryconfiguration.h"

#include "app/configuration.h"

#include <QFile>

TemporaryConfiguration::TemporaryConfiguration()
    : m_previousConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
    setConfigurationFilePath(path());
    g_configuration = Configuration();
}

TemporaryConfiguration::~TemporaryConfiguration()
{
    setConfigurationFilePath(QString());
    g_configuration = Configuration();
    if (m_previousConfigHome.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_previousConfigHome);
}

std::unique_ptr<QSettings> TemporaryConfiguration::read() const
{
    return std::make_unique<QSettings>(path(), QSettings::IniFormat);
}

bool TemporaryConfiguration::write(const QByteArray& contents) const
{
    QFile file(path());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size()
        && file.flush();
}
