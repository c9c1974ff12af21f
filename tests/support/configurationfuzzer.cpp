#include "support/configurationfuzzer.h"

#include "app/configuration.h"
#include "support/testday.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"
#include "tools/stopwatches/fenetrechronometres.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

// Typed out by hand: quotes, an escape, a key with a sub-group.
const char kTypedSeed[] = R"([General]
premier_demarrage=false
date=2026-12-05T09:00:00
langue=fr

[demarrage]
reduire=true
os=false
onTop=true

[sauvegarde]
alarmes=true
chronos=true
car=true
te=true

[horloge]
image=:/ressources/horloge_modern.png
pen_r=255
pen_v=128
pen_b=0
pen_size=3
aiguille_seconde=false

[vibration]
active=true
duree=300
intensite=7

[sonnerie]
type=1
bip\frequence=440
bip\duree=250
son=ressources/ding.wav

[alarm]
1\h=10
1\m=0
1\active=true
1\title=R\xe9veil
1\message="Debout, il est l'heure"
1\execute=true
1\file=conf.ini
2\h=7
2\m=30
2\active=false
2\title=Sport
2\message=Go
2\execute=false
2\file=
size=2

[timer]
1\date=2026-12-05T10:00:02
1\title=Th\xe9
1\message=Infus\xe9
1\execute=false
1\file=
2\date=2027-01-01T00:00:00
2\title=Nouvel an
2\message=Bonne ann\xe9\x65
2\execute=true
2\file=/nowhere/at/all
size=2

[pasttime]
1\date=2026-01-01T00:00:00
1\title=Depuis janvier
2\date=2020-02-29T12:00:00
2\title=Bissextile
size=2

[stopwatch]
1\title=Course
1\ms=42
1\s=3600
1\active=true
2\title=Pause
2\ms=0
2\s=12
2\active=false
size=2
)";

// As QSettings writes it: typed values, dates as @DateTime(...).
QByteArray writtenSeed()
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("conf.ini"));
    {
        QSettings s(path, QSettings::IniFormat);
        const QDateTime day(QDate(2026, 12, 5), QTime(9, 0));
        s.setValue("date", day);
        s.setValue("premier_demarrage", false);
        for (const char* key : {"demarrage/reduire", "demarrage/os", "demarrage/onTop", "sauvegarde/alarmes",
                                "sauvegarde/chronos", "sauvegarde/car", "sauvegarde/te",
                                "horloge/aiguille_seconde", "vibration/active"})
            s.setValue(key, true);
        s.setValue("horloge/image", ":/ressources/horloge_modern.png");
        for (const char* key :
             {"horloge/pen_r", "horloge/pen_v", "horloge/pen_b", "horloge/pen_size", "vibration/duree",
              "vibration/intensite", "sonnerie/type", "sonnerie/bip/frequence", "sonnerie/bip/duree"})
            s.setValue(key, 2);
        s.setValue("sonnerie/son", "ressources/ding.wav");
        s.setValue("langue", "fr");
        s.beginWriteArray("alarm");
        s.setArrayIndex(0);
        s.setValue("h", 10);
        s.setValue("m", 0);
        s.setValue("active", true);
        s.setValue("title", QString::fromUtf8("Café"));
        s.setValue("message", "Un, deux");
        s.setValue("execute", false);
        s.setValue("file", QString());
        s.endArray();
        s.beginWriteArray("timer");
        s.setArrayIndex(0);
        s.setValue("date", day.addSecs(3602));
        s.setValue("title", "Four");
        s.setValue("message", "Sorti");
        s.setValue("execute", false);
        s.setValue("file", QString());
        s.endArray();
        s.beginWriteArray("pasttime");
        s.setArrayIndex(0);
        s.setValue("date", day.addDays(-400));
        s.setValue("title", "Arrivée");
        s.endArray();
        s.beginWriteArray("stopwatch");
        for (int i = 0; i < 2; ++i) {
            s.setArrayIndex(i);
            s.setValue("title", QStringLiteral("Tour %1").arg(i));
            s.setValue("ms", 99);
            s.setValue("s", 59 + i);
            s.setValue("active", i == 1);
        }
        s.endArray();
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char* const kNumbers[] = {"2147483647", "-2147483648", "2147483648", "99999999999999999999",
                                "-1",         "0",           "1e308",      "0x7fffffff",
                                " 12 ",       "+7",          "--3",        "08"};
const char* const kDates[] = {"2026-13-45T25:61:61", "0000-00-00T00:00:00", "-9999-01-01T00:00:00",
                              "9999999-12-31T23:59:59", "2026-02-30T12:00:00", "2026-12-05T10:00:00Z",
                              "2026-12-05T10:00:00+14:00", "@DateTime(garbage)", "@DateTime()",
                              "@DateTime(\\0\\0\\0\\x10\\0\\x7f\\xff\\xff\\xff\\xff\\xff\\xff\\x2)",
                              "@DateTime(\\0%\\x8c\\xd6\\0\\0\\0\\0\\0\\x1)",
                              // The first and the last moments a date can hold.
                              "\"@DateTime(\\0\\0\\0\\x10\\0\\xff\\xff\\xff\\xe7%; \\f\\x3\\x9a\\0\\0\\0)\"",
                              "@DateTime(\\0\\0\\0\\x10\\0\\0\\0\\0\\x18\\xdb\\xf[\\v\\x1\\x8c[\\xff\\0)"};
// clang-format off
const char* const kOddities[] = {
    "\\", "\\x", "\\xZZ", "\\u12", "\"unclosed", "a\\", "%U", "%", "a, b, c", "\"\"", "@Variant(",
    "@Variant()", "@ByteArray(", "@Rect(1 2 3)", "@Size(-1 -1)", "@Point(", "@Invalid()", "@@Invalid()",
    "true", "false", "yes", "", "\\x{110000}", "\\xd800", ";comment", "#x", "[alarm]", "=", "\\0",
    "\\n\\r\\t", "@StringList(\\0)"};
const char* const kKeys[] = {
    "premier_demarrage", "date", "langue", "demarrage\\reduire", "sauvegarde\\chronos", "horloge\\pen_size",
    "sonnerie\\type", "sonnerie\\bip\\frequence", "vibration\\duree", "size", "chronos", "%General", "",
    "\\", "a\\b\\c\\d"};
// clang-format on
const char* const kArrays[] = {"alarm", "timer", "pasttime", "stopwatch"};
const char* const kFields[] = {"h",    "m",    "active", "title", "message", "execute",
                               "file", "date", "s",      "ms",    "size",    ""};
const char* const kIndices[] = {"1", "2", "3", "0", "-1", "01", "2147483647", "4294967297", "1\\1", " 1"};

template<typename T, std::size_t N>
const T& pick(QRandomGenerator& random, const T (&list)[N])
{
    return list[random.bounded(int(N))];
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

// What the program reads of a conf.ini: its settings and its four arrays.
// Other keys are left as they are, and QSettings itself does not give back
// every odd key name it reads (a "%" or a "{" in it).
QMap<QString, QVariant> programKeys(const QString& path)
{
    static const QStringList settings{"premier_demarrage",      "demarrage/reduire",
                                      "demarrage/os",           "demarrage/onTop",
                                      "sauvegarde/alarmes",     "sauvegarde/chronos",
                                      "sauvegarde/car",         "sauvegarde/te",
                                      "horloge/image",          "horloge/pen_r",
                                      "horloge/pen_v",          "horloge/pen_b",
                                      "horloge/pen_size",       "horloge/aiguille_seconde",
                                      "vibration/active",       "vibration/duree",
                                      "vibration/intensite",    "sonnerie/type",
                                      "sonnerie/bip/frequence", "sonnerie/bip/duree",
                                      "sonnerie/son",           "langue"};
    // The size and the numbered entries of the arrays.
    static const QRegularExpression item("^(alarm|timer|pasttime|stopwatch)/(size|[1-9][0-9]*/[a-z]+)$");
    const QSettings file(path, QSettings::IniFormat);
    QMap<QString, QVariant> keys;
    for (const QString& key : file.allKeys()) {
        if (settings.contains(key) || item.match(key).hasMatch())
            keys.insert(key, file.value(key));
    }
    return keys;
}

void loadAndStore()
{
    charger_configuration();
    {
        FenetreAlarmes window(nullptr, ToolWindow::StoredPages::Now);
    }
    {
        FenetreComptesARebours window(nullptr, ToolWindow::StoredPages::Now);
    }
    {
        FenetreTempsEcoules window(nullptr, ToolWindow::StoredPages::Now);
    }
    {
        FenetreChronometres window(nullptr, ToolWindow::StoredPages::Now);
    }
}

// Aborts the process, telling which input, when one runs past its time.
class HangWatch
{
public:
    HangWatch(quint32 seed, qint64 limitMs)
        : m_seed(seed)
        , m_limit(limitMs)
        , m_thread([this] { watch(); })
    {
    }
    ~HangWatch()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    void started(int index, const QByteArray& input)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_index = index;
        m_input = input;
        m_since = std::chrono::steady_clock::now();
    }
    void finished()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_index = -1;
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            m_wake.wait_for(lock, std::chrono::milliseconds(100));
            if (m_index < 0 || std::chrono::steady_clock::now() - m_since < m_limit)
                continue;
            std::fprintf(stderr, "input %u/%d still runs after %lld ms:\n%s\n", m_seed, m_index,
                         static_cast<long long>(m_limit.count()),
                         m_input.left(4096).toPercentEncoding(" =[]\\/\n").constData());
            std::abort();
        }
    }

    const quint32 m_seed;
    const std::chrono::milliseconds m_limit;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    int m_index = -1;
    QByteArray m_input;
    std::chrono::steady_clock::time_point m_since;
    std::thread m_thread; // last: it starts once the rest is made
};

} // namespace

ConfigurationFuzzer::ConfigurationFuzzer(quint32 seed)
    : m_random(seed)
    , m_seeds(seeds())
{
}

QList<QByteArray> ConfigurationFuzzer::seeds()
{
    return {writtenSeed(), QByteArray(kTypedSeed)};
}

QByteArray ConfigurationFuzzer::next()
{
    QByteArray input = m_seeds.at(m_random.bounded(int(m_seeds.size())));
    for (int damages = 1 + m_random.bounded(4); damages > 0; --damages)
        mutate(input);
    return input;
}

QByteArray ConfigurationFuzzer::randomValue()
{
    switch (m_random.bounded(7)) {
    case 0:
        return pick(m_random, kNumbers);
    case 1:
        return pick(m_random, kDates);
    case 2:
        return pick(m_random, kOddities);
    case 3: {
        // Long texts, now and then a very long one (slow to show in a
        // sanitized build: rare, the test's table has one).
        const int length = m_random.bounded(100) == 0 ? 1 << 20 : 10000;
        return QByteArray(length, char('a' + m_random.bounded(26)));
    }
    case 4: {
        // Serialized variants of any type id, with random contents.
        QByteArray bytes(4 + m_random.bounded(40), '\0');
        m_random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        QByteArray escaped;
        for (const char c : bytes)
            escaped += "\\x" + QByteArray::number(uchar(c), 16) + (m_random.bounded(2) ? "" : " ");
        return "@Variant(" + escaped + ")";
    }
    default: {
        QByteArray bytes(m_random.bounded(40), '\0');
        for (char& c : bytes)
            c = char(m_random.bounded(256));
        return bytes;
    }
    }
}

QByteArray ConfigurationFuzzer::randomKey()
{
    if (m_random.bounded(2))
        return pick(m_random, kKeys);
    return QByteArray(pick(m_random, kIndices)) + '\\' + pick(m_random, kFields);
}

void ConfigurationFuzzer::mutate(QByteArray& input)
{
    QList<QByteArray> lines = input.split('\n');
    const auto anyLine = [this, &lines] { return int(m_random.bounded(int(lines.size()))); };
    const auto anyPlace = [this, &input] { return int(m_random.bounded(int(input.size()) + 1)); };
    switch (m_random.bounded(11)) {
    case 0: // flipped bits
        for (int n = 1 + m_random.bounded(8); n > 0 && !input.isEmpty(); --n)
            input[m_random.bounded(int(input.size()))] ^= char(1 << m_random.bounded(8));
        return;
    case 1: // cut short, as by a crash mid-write
        input.truncate(anyPlace());
        return;
    case 2: {
        const QByteArray line = lines.at(anyLine());
        lines.insert(anyLine(), line);
        break;
    }
    case 3:
        lines.removeAt(anyLine());
        break;
    case 4: { // a value replaced
        QByteArray& line = lines[anyLine()];
        const int equals = line.indexOf('=');
        line = (equals < 0 ? randomKey() : line.left(equals)) + '=' + randomValue();
        break;
    }
    case 5: // key and section soup
        lines.insert(anyLine(),
                     m_random.bounded(3) == 0
                         ? "[" + QByteArray(pick(m_random, kArrays)) + randomValue().left(8) + "]"
                         : randomKey() + '=' + randomValue());
        break;
    case 6: // NULs
        for (int n = 1 + m_random.bounded(4); n > 0; --n)
            input.insert(anyPlace(), '\0');
        return;
    case 7: { // a size that says anything
        const QByteArray group = "[" + QByteArray(pick(m_random, kArrays)) + "]";
        const int at = lines.indexOf(group);
        lines.insert(at < 0 ? anyLine() : at + 1, "size=" + QByteArray(pick(m_random, kNumbers)));
        break;
    }
    case 8:
        lines.swapItemsAt(anyLine(), anyLine());
        break;
    case 9: { // a run of random bytes
        QByteArray bytes(1 + m_random.bounded(64), '\0');
        for (char& c : bytes)
            c = char(m_random.bounded(256));
        input.insert(anyPlace(), bytes);
        return;
    }
    default: // escapes broken at the end of a line, or Windows line ends
        if (m_random.bounded(2))
            lines[anyLine()] += pick(m_random, kOddities);
        else
            for (QByteArray& line : lines)
                line += '\r';
        break;
    }
    input = lines.join('\n');
}

bool loadEverything(const QString& path, const QByteArray& input)
{
    if (!writeFile(path, input))
        return false;
    setConfigurationFilePath(path);
    loadAndStore();
    {
        QSettings stored(path, QSettings::IniFormat);
        stored.remove(QStringLiteral("date"));
    }
    const QMap<QString, QVariant> first = programKeys(path);
    loadAndStore();
    return programKeys(path) == first;
}

ConfigurationLoadReport fuzzConfigurationLoad(TestDay& day, quint32 seed, int count, qint64 hangMs)
{
    // Every save is written through to the disk: in memory, the inputs do
    // not wait for it.
    const QTemporaryDir scratch(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/clepsa-fuzz-XXXXXX")
                                    : QDir::temp().filePath(QStringLiteral("clepsa-fuzz-XXXXXX")));
    ConfigurationFuzzer fuzzer(seed);
    HangWatch watch(seed, hangMs);
    ConfigurationLoadReport report;
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < count; ++i) {
        const QByteArray input = fuzzer.next();
        QDir folder(scratch.filePath(QString::number(i)));
        folder.mkpath(QStringLiteral("."));
        watch.started(i, input);
        QElapsedTimer one;
        one.start();
        if (!loadEverything(folder.filePath(QStringLiteral("conf.ini")), input))
            report.unstable.append(i);
        const qint64 ms = one.elapsed();
        watch.finished();
        if (ms > report.slowestMs) {
            report.slowestMs = ms;
            report.slowestIndex = i;
            report.slowestInput = input;
        }
        folder.removeRecursively();
        day.balloons.clear();
        day.files.opened.clear();
        ++report.inputs;
    }
    report.totalMs = total.elapsed();
    setConfigurationFilePath(day.conf.path());
    return report;
}
