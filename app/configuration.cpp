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
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <iterator>
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

// The keys that came after the first files. Each is written only when it
// is set away from its default or the file has it already, so that a file
// that never had it is saved as it was.
template<typename Config, typename Visitor>
void forEachLaterKey(Config& c, Visitor&& visit)
{
    visit("alarmes/son", c.alarmes_son, false);
    visit("alarmes/repetition", c.alarmes_repetition, 10);
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

// Calls visit(start, end) with the raw value of every key of an INI file,
// split into lines as QSettings splits it: a line ends at "\n" or "\r"
// outside quotes and not escaped by a backslash, or at a ";" outside quotes,
// which starts a comment up to the next "\n" or "\r" as it does at the start
// of a line. The value follows the first "=" outside quotes; a line that
// starts with "[" names a section.
template<typename Visit>
void forEachIniValue(QByteArrayView data, Visit&& visit)
{
    const auto endsLine = [](char c) { return c == '\n' || c == '\r'; };
    qsizetype i = 0;
    while (i < data.size()) {
        if (data[i] == ' ' || data[i] == '\t' || endsLine(data[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (data[i] == ';') {
            while (i < data.size() && !endsLine(data[i]))
                ++i;
            continue;
        }
        bool quoted = false;
        qsizetype equals = -1;
        for (; i < data.size(); ++i) {
            const char c = data[i];
            if (c == '\\') {
                // Past the escaped byte, and past a "\r\n" or "\n\r" whole.
                ++i;
                if (i + 1 < data.size() && endsLine(data[i]) && endsLine(data[i + 1])
                    && data[i] != data[i + 1])
                    ++i;
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == '=' && !quoted && equals < 0) {
                equals = i;
            } else if (!quoted && (endsLine(c) || c == ';')) {
                break;
            }
        }
        i = std::min(i, data.size());
        if (equals >= 0 && data[start] != '[')
            visit(equals + 1, i);
    }
}

// The texts that QSettings reads from the raw value of a key: the value, or
// the items of a list (split at commas outside quotes). Quotes are dropped,
// the spaces before an item too, raw bytes are UTF-8, and escapes are
// decoded: "\x" and octal ones take every digit that follows, a backslash at
// the end of a line carries the value on, and one before any other
// character drops both.
QStringList iniTexts(QByteArrayView value)
{
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    QStringList texts{QString()};
    bool quoted = false;
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
            ++i;
    };
    const auto digitAt = [&](qsizetype at) {
        const char d = at < value.size() ? value[at] : '\0';
        return d >= '0' && d <= '9' ? d - '0'
            : d >= 'a' && d <= 'f'  ? d - 'a' + 10
            : d >= 'A' && d <= 'F'  ? d - 'A' + 10
                                    : 99;
    };
    // One UTF-16 unit from the digits at `from` on, as many as follow, which
    // wrap past it.
    const auto code = [&](int base, qsizetype from) {
        char16_t unit = 0;
        for (i = from; digitAt(i) < base; ++i)
            unit = char16_t(unit * base + digitAt(i));
        texts.last() += QChar(unit);
    };
    skipSpaces();
    while (i < value.size()) {
        const char c = value[i++];
        if (c == '"') {
            quoted = !quoted;
            if (!quoted)
                skipSpaces();
        } else if (c == ',' && !quoted) {
            texts.append(QString());
            skipSpaces();
        } else if (c != '\\') {
            const qsizetype run = i - 1;
            while (i < value.size() && value[i] != '\\' && value[i] != '"' && value[i] != ',')
                ++i;
            texts.last() += fromUtf8(value.sliced(run, i - run));
        } else if (i < value.size()) {
            const char escaped = value[i++];
            const auto* known = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                             [escaped](const char* e) { return e[0] == escaped; });
            if (known != std::end(kEscapes))
                texts.last() += QLatin1Char((*known)[1]);
            else if (escaped == 'x' && digitAt(i) < 16)
                code(16, i);
            else if (escaped >= '0' && escaped <= '7')
                code(8, --i);
            else if ((escaped == '\n' || escaped == '\r') && i < value.size()
                     && (value[i] == '\n' || value[i] == '\r') && value[i] != escaped)
                ++i;
        }
    }
    return texts;
}

// Whether QSettings would read, from the raw value of a key, alone or as an
// item of a list, a binary value of another type than a date or a time: its
// type is the first four bytes of the binary data.
bool holdsForeignBinaryValue(QByteArrayView value)
{
    for (const QString& text : iniTexts(value)) {
        for (const QLatin1String prefix : {QLatin1String("@Variant("), QLatin1String("@DateTime(")}) {
            const QByteArray type = QStringView(text).mid(prefix.size(), 4).toLatin1();
            if (!text.startsWith(prefix) || type.size() < 4)
                continue;
            const quint32 id = qFromBigEndian<quint32>(type.constData());
            if (id != QMetaType::QDate && id != QMetaType::QTime && id != QMetaType::QDateTime)
                return true;
        }
    }
    return false;
}

// A damaged binary value can make QSettings read a list of billions of
// items from a few bytes, which holds the clock for minutes as the file is
// read. The clock only ever stores dates and times in binary: any other
// binary value of the file, hand-edited or damaged, is emptied (in the file,
// before QSettings reads it), as if it had never been readable. Lines,
// escapes and lists are read as QSettings reads them, since what it reads
// is what must be safe.
void emptyForeignBinaryValues(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray contents = file.readAll();
    file.close();
    // Read several times at the start, the file is scanned again only when
    // it is not what the last scan found clean.
    static QString cleanPath;
    static QByteArray cleanContents;
    if (path == cleanPath && contents == cleanContents)
        return;
    QByteArray emptied;
    qsizetype kept = 0;
    forEachIniValue(contents, [&](qsizetype start, qsizetype end) {
        if (!holdsForeignBinaryValue(QByteArrayView(contents).sliced(start, end - start)))
            return;
        emptied += QByteArrayView(contents).sliced(kept, start - kept);
        kept = end;
    });
    if (kept == 0) {
        cleanPath = path;
        cleanContents = contents;
        return;
    }
    emptied += QByteArrayView(contents).sliced(kept);
    QSaveFile replaced(path);
    if (replaced.open(QIODevice::WriteOnly)) {
        replaced.write(emptied);
        replaced.commit();
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
    const auto read = [&settings](const char* key, auto& value, auto...) {
        const QVariant stored = settings->value(QLatin1String(key));
        if (stored.isValid())
            readValue(stored, value);
    };
    forEachKey(loaded, read);
    forEachLaterKey(loaded, read);
    loaded.alarmes_repetition = std::clamp(loaded.alarmes_repetition, kMinRepeatMinutes, kMaxRepeatMinutes);
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
        forEachLaterKey(g_configuration,
                        [&settings](const char* key, const auto& value, const auto& byDefault) {
                            if (value != byDefault || settings->contains(QLatin1String(key)))
                                settings->setValue(QLatin1String(key), value);
                        });
        for (const auto& [owner, write] : g_itemWriters)
            write(*settings);
        commitConfiguration(*settings);
    }
    platform::setAutostart(g_configuration.demarrage_os, QCoreApplication::applicationFilePath());
}
