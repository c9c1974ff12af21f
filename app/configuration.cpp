#include "app/configuration.h"

#include "app/clock.h"
#include "platform/autostart.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <utility>
#include <vector>

Configuration g_configuration;

namespace {

QString g_configurationPath;
std::function<void(const QString&)> g_saveFailureHandler;
std::vector<std::pair<const void*, ItemWriter>> g_itemWriters;

// Visits every scalar key in the order in which it is written; the load and
// the save share this one list.
template<typename Config, typename Visitor>
void forEachKey(Config& c, Visitor&& visit)
{
    visit("premier_demarrage", c.premier_demarrage);
    visit("demarrage/reduire", c.demarrage_reduire);
    visit("demarrage/os", c.demarrage_os);
    visit("demarrage/onTop", c.demarrage_onTop);
    visit("sauvegarde/alarmes", c.sauvegarde_alarmes);
    visit("sauvegarde/chronos", c.sauvegarde_chronos);
    visit("sauvegarde/car", c.sauvegarde_car);
    visit("sauvegarde/te", c.sauvegarde_te);
    visit("horloge/image", c.horloge_image);
    visit("horloge/pen_r", c.horloge_pen_r);
    visit("horloge/pen_v", c.horloge_pen_v);
    visit("horloge/pen_b", c.horloge_pen_b);
    visit("horloge/pen_size", c.horloge_pen_size);
    visit("horloge/aiguille_seconde", c.horloge_aiguille_seconde);
    visit("vibration/active", c.vibration_active);
    visit("vibration/duree", c.vibration_duree);
    visit("vibration/intensite", c.vibration_intensite);
    visit("sonnerie/type", c.sonnerie_type);
    visit("sonnerie/bip/frequence", c.sonnerie_bip_frequence);
    visit("sonnerie/bip/duree", c.sonnerie_bip_duree);
    visit("sonnerie/son", c.sonnerie_son);
    visit("langue", c.langue);
}

// A hand-edited value that is not a boolean or a number keeps the default
// instead of turning into true or 0.
void readValue(const QVariant& stored, bool& value)
{
    const QString text = stored.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        value = true;
    else if (text == QLatin1String("false") || text == QLatin1String("0"))
        value = false;
}

void readValue(const QVariant& stored, int& value)
{
    bool ok = false;
    const int number = stored.toString().trimmed().toInt(&ok);
    if (ok)
        value = number;
}

void readValue(const QVariant& stored, QString& value)
{
    if (stored.canConvert<QString>())
        value = stored.toString();
}

// The byte at `i` of a value as QSettings unescapes it, moving `i` past it:
// "\\x" and "\\" with octal digits take every digit that follows.
int unescapedByte(QByteArrayView value, qsizetype& i)
{
    const char c = value[i++];
    if (c != '\\' || i == value.size())
        return static_cast<unsigned char>(c);
    const char escaped = value[i++];
    const bool hex = escaped == 'x';
    if (!hex && (escaped < '0' || escaped > '7'))
        return static_cast<unsigned char>(escaped);
    const int base = hex ? 16 : 8;
    int byte = hex ? 0 : escaped - '0';
    for (; i < value.size(); ++i) {
        const char lower = value[i] >= 'A' && value[i] <= 'F' ? char(value[i] - 'A' + 'a') : value[i];
        const int digit = int(QByteArrayView("0123456789abcdef").indexOf(lower));
        if (digit < 0 || digit >= base)
            break;
        byte = (byte * base + digit) & 0xff;
    }
    return byte;
}

// The type that a value QSettings reads as "@Variant(...)" or
// "@DateTime(...)" stores in its first four bytes; -1 for any other value.
qint64 storedVariantType(QByteArrayView value)
{
    for (const QByteArrayView prefix : {QByteArrayView("@Variant("), QByteArrayView("@DateTime(")}) {
        if (!value.startsWith(prefix))
            continue;
        quint32 type = 0;
        qsizetype i = prefix.size();
        for (int bytes = 0; bytes < 4 && i < value.size(); ++bytes)
            type = (type << 8) | quint32(unescapedByte(value, i));
        return type;
    }
    return -1;
}

// Whether the value of an INI line holds, alone or as an item of a list,
// quoted or not, a binary value of another type than a date or a time.
bool holdsForeignBinaryValue(const QByteArray& value)
{
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= value.size(); ++i) {
        if (i < value.size()) {
            if (value[i] == '"')
                quoted = !quoted;
            if (quoted || value[i] != ',')
                continue;
        }
        QByteArray item = value.mid(start, i - start).trimmed();
        if (item.startsWith('"'))
            item.remove(0, 1);
        const qint64 type = storedVariantType(item);
        if (type >= 0 && type != QMetaType::QDate && type != QMetaType::QTime && type != QMetaType::QDateTime)
            return true;
        start = i + 1;
    }
    return false;
}

// A damaged binary value can make QSettings read a list of billions of
// items from a few bytes, which holds the clock for minutes as the file is
// read. The clock only ever stores dates and times in binary: any other
// binary value of the file, hand-edited or damaged, is emptied (in the file,
// before QSettings reads it), as if it had never been readable.
void emptyForeignBinaryValues(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray contents = file.readAll();
    file.close();
    if (!contents.contains("@Variant(") && !contents.contains("@DateTime("))
        return;
    QList<QByteArray> lines = contents.split('\n');
    bool changed = false;
    for (QByteArray& line : lines) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0 || line.startsWith(';') || !holdsForeignBinaryValue(line.mid(equals + 1)))
            continue;
        line.truncate(equals + 1);
        changed = true;
    }
    if (!changed)
        return;
    QSaveFile emptied(path);
    if (emptied.open(QIODevice::WriteOnly)) {
        emptied.write(lines.join('\n'));
        emptied.commit();
    }
}

} // namespace

QString locateConfigurationFile(const QString& programDir, const QString& installedDir,
                                const WritableTest& isWritable)
{
    const QString beside = programDir + QStringLiteral("/conf.ini");
    const bool installed = QDir(programDir).canonicalPath() == QDir(installedDir).canonicalPath();
    if (!installed && isWritable(programDir) && (!QFileInfo::exists(beside) || isWritable(beside)))
        return beside;

    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString userFile = userDir + QStringLiteral("/conf.ini");
    QDir().mkpath(userDir);
    if (QFileInfo::exists(beside) && !QFileInfo::exists(userFile) && QFile::copy(beside, userFile))
        QFile::setPermissions(userFile, QFile::permissions(userFile) | QFile::WriteOwner | QFile::ReadOwner);
    return userFile;
}

QString configurationFilePath()
{
    if (g_configurationPath.isEmpty()) {
        g_configurationPath =
            locateConfigurationFile(QCoreApplication::applicationDirPath(), QStringLiteral(CLEPSA_BIN_DIR),
                                    [](const QString& path) { return QFileInfo(path).isWritable(); });
    }
    return g_configurationPath;
}

std::unique_ptr<QSettings> openConfiguration()
{
    emptyForeignBinaryValues(configurationFilePath());
    auto settings = std::make_unique<QSettings>(configurationFilePath(), QSettings::IniFormat);
    // Written beside and renamed over the file: a full disk cannot cut it.
    settings->setAtomicSyncRequired(true);
    return settings;
}

bool commitConfiguration(QSettings& settings)
{
    settings.sync();
    // A FormatError only tells that the file read before was damaged; the
    // save itself went through and replaced it.
    if (settings.status() != QSettings::AccessError)
        return true;
    const QString file = QDir::toNativeSeparators(settings.fileName());
    qWarning().noquote()
        << QStringLiteral("Clepsa : impossible d'enregistrer les réglages dans %1").arg(file);
    if (g_saveFailureHandler)
        g_saveFailureHandler(file);
    return false;
}

void setSaveFailureHandler(std::function<void(const QString& file)> handler)
{
    g_saveFailureHandler = std::move(handler);
}

void setConfigurationFilePath(const QString& path)
{
    g_configurationPath = path;
}

void charger_configuration()
{
    const auto settings = openConfiguration();
    Configuration loaded;
    forEachKey(loaded, [&settings](const char* key, auto& value) {
        const QVariant stored = settings->value(QLatin1String(key));
        if (stored.isValid())
            readValue(stored, value);
    });
    g_configuration = loaded;
}

QDateTime lastSaveTime()
{
    return openConfiguration()->value(QStringLiteral("date")).toDateTime();
}

void addItemWriter(const void* owner, ItemWriter writer)
{
    g_itemWriters.emplace_back(owner, std::move(writer));
}

void removeItemWriter(const void* owner)
{
    g_itemWriters.erase(std::remove_if(g_itemWriters.begin(), g_itemWriters.end(),
                                       [owner](const auto& entry) { return entry.first == owner; }),
                        g_itemWriters.end());
}

void sauver_configuration()
{
    {
        const auto settings = openConfiguration();
        settings->setValue(QStringLiteral("date"), Clock::instance().currentDateTime());
        forEachKey(g_configuration, [&settings](const char* key, const auto& value) {
            settings->setValue(QLatin1String(key), value);
        });
        for (const auto& [owner, write] : g_itemWriters)
            write(*settings);
        commitConfiguration(*settings);
    }
    platform::setAutostart(g_configuration.demarrage_os, QCoreApplication::applicationFilePath());
}
