#include "support/configurationfuzzer.h"

#include "app/configuration.h"
#include "support/testday.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"
#include "tools/stopwatches/fenetrechronometres.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

// Quotes, escapes, keys in sub-groups; the last alarm and countdown leave
// keys out.
const QByteArray kTypedConfiguration =
    "[General]\npremier_demarrage=false\ndate=2026-12-05T09:00:00\nlangue=fr\n"
    "[demarrage]\nreduire=true\nos=false\nonTop=true\n"
    "[sauvegarde]\nalarmes=true\nchronos=true\ncar=true\nte=true\n"
    "[horloge]\nimage=:/ressources/horloge_modern.png\npen_r=255\npen_v=128\npen_b=0\npen_size=3\n"
    "aiguille_seconde=false\n"
    "[vibration]\nactive=true\nduree=300\nintensite=7\n"
    "[sonnerie]\ntype=1\nbip\\frequence=440\nbip\\duree=250\nson=ressources/ding.wav\n"
    "[alarm]\n1\\h=10\n1\\m=0\n1\\active=true\n1\\title=R\\xe9veil\n1\\message=\"Debout, il est l'heure\"\n"
    "1\\execute=true\n1\\file=conf.ini\n2\\h=7\n2\\m=30\n2\\active=false\n2\\title=Sport\nsize=2\n"
    "[timer]\n1\\date=2026-12-05T10:00:02\n1\\title=Th\\xe9\n1\\message=Infus\\xe9\n1\\execute=false\n"
    "2\\date=2027-01-01T00:00:00\n2\\title=Nouvel an\n2\\execute=true\n2\\file=/nowhere/at/all\nsize=2\n"
    "[pasttime]\n1\\date=2026-01-01T00:00:00\n1\\title=Depuis janvier\n2\\date=2020-02-29T12:00:00\n"
    "2\\title=Bissextile\nsize=2\n"
    "[stopwatch]\n1\\title=Course\n1\\ms=42\n1\\s=3600\n1\\active=true\n2\\title=Pause\n2\\s=12\nsize=2\n";

namespace {

// Numbers past int, impossible and extreme dates, broken escapes and
// serialized values.
// clang-format off
const char* const kOddValues[] = {
    "2147483647", "-2147483648", "2147483648", "99999999999999999999", "-1", "1e308", "0x7fffffff", " 12 ",
    "--3", "08", "2026-13-45T25:61:61", "0000-00-00T00:00:00", "-9999-01-01T00:00:00",
    "9999999-12-31T23:59:59", "2026-02-30T12:00:00", "2026-12-05T10:00:00+14:00", "@DateTime(garbage)",
    "@DateTime()", "@DateTime(\\0\\0\\0\\x10\\0\\x7f\\xff\\xff\\xff\\xff\\xff\\xff\\x2)",
    "@DateTime(\\0%\\x8c\\xd6\\0\\0\\0\\0\\0\\x1)",
    // The first and the last moments a date can hold.
    "\"@DateTime(\\0\\0\\0\\x10\\0\\xff\\xff\\xff\\xe7%; \\f\\x3\\x9a\\0\\0\\0)\"",
    "@DateTime(\\0\\0\\0\\x10\\0\\0\\0\\0\\x18\\xdb\\xf[\\v\\x1\\x8c[\\xff\\0)",
    "\\", "\\x", "\\xZZ", "\\u12", "\"unclosed", "a\\", "%U", "a, b, c", "\"\"", "@Variant(", "@Variant()",
    "@ByteArray(", "@Rect(1 2 3)", "@Size(-1 -1)", "@Invalid()", "yes", "", "\\x{110000}", "\\xd800",
    ";comment", "[alarm]", "=", "\\0", "\\n\\r\\t", "@StringList(\\0)"};
const char* const kOddKeys[] = {
    "premier_demarrage", "date", "demarrage\\reduire", "horloge\\pen_size", "sonnerie\\bip\\frequence",
    "vibration\\duree", "size", "chronos", "%General", "", "\\", "a\\b\\c\\d", "1\\h", "2\\title", "3\\date",
    "0\\s", "-1\\ms", "01\\active", "2147483647\\file", "4294967297\\message", "1\\1\\title", " 1\\execute"};
// clang-format on
const char* const kArrays[] = {"alarm", "timer", "pasttime", "stopwatch"};

template<typename T, std::size_t N>
const T& pick(QRandomGenerator& random, const T (&list)[N])
{
    return list[random.bounded(int(N))];
}

QByteArray randomBytes(QRandomGenerator& random, int length)
{
    QByteArray bytes(length, '\0');
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QByteArray oddValue(QRandomGenerator& random)
{
    switch (random.bounded(4)) {
    case 0:
        // Now and then a very long text; rare, for it is slow to show in a
        // sanitized build.
        return QByteArray(random.bounded(100) == 0 ? 1 << 20 : 10000, 'x');
    case 1: // a serialized value of any type, with any contents
        return "@Variant("
            + randomBytes(random, 4 + random.bounded(40)).toPercentEncoding().replace('%', "\\x") + ")";
    case 2:
        return randomBytes(random, random.bounded(40));
    default:
        return pick(random, kOddValues);
    }
}

void damage(QRandomGenerator& random, QByteArray& input)
{
    QList<QByteArray> lines = input.split('\n');
    const auto anyLine = [&] { return int(random.bounded(int(lines.size()))); };
    const int anyPlace = random.bounded(int(input.size()) + 1);
    switch (random.bounded(9)) {
    case 0: // cut short, as by a crash mid-write
        input.truncate(anyPlace);
        return;
    case 1:
        for (int n = 1 + random.bounded(8); n > 0 && !input.isEmpty(); --n)
            input[random.bounded(int(input.size()))] ^= char(1 << random.bounded(8));
        return;
    case 2:
        input.insert(anyPlace,
                     random.bounded(2) ? QByteArray(1 + random.bounded(4), '\0')
                                       : randomBytes(random, 1 + random.bounded(64)));
        return;
    case 3: {
        QByteArray& line = lines[anyLine()];
        const int equals = line.indexOf('=');
        line = (equals < 0 ? QByteArray(pick(random, kOddKeys)) : line.left(equals)) + '=' + oddValue(random);
        break;
    }
    case 4:
        lines.insert(anyLine(),
                     random.bounded(3) ? pick(random, kOddKeys) + ('=' + oddValue(random))
                                       : '[' + (pick(random, kArrays) + oddValue(random).left(8)) + ']');
        break;
    case 5:
        lines.insert(anyLine(), lines.at(anyLine()));
        break;
    case 6:
        lines.removeAt(anyLine());
        break;
    case 7:
        lines.swapItemsAt(anyLine(), anyLine());
        break;
    default: // an escape broken at the end of a line, or Windows line ends
        if (random.bounded(2)) {
            lines[anyLine()] += pick(random, kOddValues);
        } else {
            for (QByteArray& line : lines)
                line += '\r';
        }
        break;
    }
    input = lines.join('\n');
}

// What the program reads of a conf.ini: its settings, and the size and the
// numbered entries of its arrays. Other keys are left as they are, and
// QSettings itself does not give back every odd key name it reads (a "%" or
// a "{" in it).
QMap<QString, QVariant> programKeys(const QString& path)
{
    static const QRegularExpression read(
        "^(premier_demarrage|langue|(demarrage|sauvegarde|horloge|vibration|sonnerie)"
        "/[a-z_/]+|(alarm|timer|pasttime|stopwatch)/(size|[1-9][0-9]*/[a-z]+))$");
    const QSettings file(path, QSettings::IniFormat);
    QMap<QString, QVariant> keys;
    for (const QString& key : file.allKeys()) {
        if (read.match(key).hasMatch())
            keys.insert(key, file.value(key));
    }
    return keys;
}

template<typename Window>
void storeItems()
{
    Window window(nullptr, ToolWindow::StoredPages::Now);
}

void loadAndStore()
{
    charger_configuration();
    storeItems<FenetreAlarmes>();
    storeItems<FenetreComptesARebours>();
    storeItems<FenetreTempsEcoules>();
    storeItems<FenetreChronometres>();
}

// What the alarm of a hang prints: set before each input, as a signal
// handler may format nothing.
char g_hangMessage[80];

void abortHung(int)
{
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, g_hangMessage, std::strlen(g_hangMessage));
    std::abort();
}

} // namespace

bool loadEverything(const QString& path, const QByteArray& input)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input) != input.size())
        return false;
    file.close();
    setConfigurationFilePath(path);
    loadAndStore();
    QSettings(path, QSettings::IniFormat).remove(QStringLiteral("date"));
    const QMap<QString, QVariant> first = programKeys(path);
    loadAndStore();
    return programKeys(path) == first;
}

QList<int> fuzzConfigurationLoad(TestDay& day, quint32 seed, int count, int hangSeconds)
{
    // As the program writes it too: typed values, dates as @DateTime(...).
    loadEverything(day.conf.path(), kTypedConfiguration);
    const QList<QByteArray> seeds{kTypedConfiguration, day.conf.contents()};
    // Every save is written through to the disk: in memory, the inputs do
    // not wait for it.
    const QTemporaryDir scratch(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/clepsa-fuzz-XXXXXX")
                                    : QDir::temp().filePath(QStringLiteral("clepsa-fuzz-XXXXXX")));
    QRandomGenerator random(seed);
    QList<int> unstable;
    std::signal(SIGALRM, abortHung);
    for (int i = 0; i < count; ++i) {
        QByteArray input = seeds.at(random.bounded(2));
        for (int damages = 1 + random.bounded(4); damages > 0; --damages)
            damage(random, input);
        // A file of its own each time: QSettings caches the files it read.
        const QString path = scratch.filePath(QString::number(i) + QStringLiteral(".ini"));
        std::snprintf(g_hangMessage, sizeof g_hangMessage, "input %u/%d still runs after %d s\n", seed, i,
                      hangSeconds);
        alarm(unsigned(hangSeconds));
        if (!loadEverything(path, input))
            unstable << i;
        alarm(0);
        QFile::remove(path);
        day.balloons.clear();
        day.files.opened.clear();
    }
    std::signal(SIGALRM, SIG_DFL);
    setConfigurationFilePath(day.conf.path());
    return unstable;
}
