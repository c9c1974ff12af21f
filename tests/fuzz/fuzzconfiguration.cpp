// Any bytes as conf.ini: the settings and every tool's items are loaded and
// stored without a crash, a hang, a sanitizer report or a failed save, and
// what the first run stores, the next one stores unchanged. libFuzzer drives
// it (scripts/fuzz); the test suite replays the files of corpus/: a conf.ini
// as typed by hand, one as the clock writes it, and damaged ones that each
// found a fault once.
#include "app/configuration.h"
#include "support/testday.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"
#include "tools/stopwatches/fenetrechronometres.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

QApplication* g_app;
TestDay* g_day;
QTemporaryDir* g_scratch;
int g_inputs = 0;

// What the program reads of a conf.ini: its settings, and the size and the
// numbered entries of its arrays. QSettings itself does not give back every
// odd key name it reads (a "%" or a "{" in it), so other keys are left out.
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

// Each tool window, made and destroyed, stores its items.
void loadAndStore()
{
    charger_configuration();
    FenetreAlarmes(nullptr, ToolWindow::StoredPages::Now);
    FenetreComptesARebours(nullptr, ToolWindow::StoredPages::Now);
    FenetreTempsEcoules(nullptr, ToolWindow::StoredPages::Now);
    FenetreChronometres(nullptr, ToolWindow::StoredPages::Now);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The damaged files' complaints would drown a finding.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    g_app = new QApplication(*argc, *argv);
    g_day = new TestDay(QStringLiteral("10:00:00.003"));
    // Every save is written through to the disk: in memory, the inputs do
    // not wait for it.
    g_scratch = new QTemporaryDir(QDir(QStringLiteral("/dev/shm")).exists()
                                      ? QStringLiteral("/dev/shm/clepsa-fuzz-XXXXXX")
                                      : QDir::temp().filePath(QStringLiteral("clepsa-fuzz-XXXXXX")));
    setSaveFailureHandler([](const QString& file) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(file));
        std::abort();
    });
    // One input first, with a page in every tool, so that the statics Qt
    // makes for the first windows (their fonts among them) are there before
    // ours are set to go: the end of the application still uses them.
    static const char kOneOfEach[] = "[alarm]\n1\\h=1\nsize=1\n[timer]\n1\\title=t\nsize=1\n"
                                     "[pasttime]\n1\\title=t\nsize=1\n[stopwatch]\n1\\s=1\nsize=1\n";
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(kOneOfEach), sizeof kOneOfEach - 1);
    std::atexit([] {
        delete g_scratch;
        delete g_day;
        delete g_app;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A file of its own each time: QSettings keeps the files it has read.
    const QString path = g_scratch->filePath(QString::number(++g_inputs) + QStringLiteral(".ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();
    setConfigurationFilePath(path);
    loadAndStore();
    // Without the date, so that running stopwatches do not count the closed
    // time twice.
    QSettings(path, QSettings::IniFormat).remove(QStringLiteral("date"));
    const QMap<QString, QVariant> first = programKeys(path);
    loadAndStore();
    if (programKeys(path) != first) {
        std::fprintf(stderr, "the second run stored something else than the first\n");
        std::abort();
    }
    QFile::remove(path);
    g_day->balloons.clear();
    g_day->files.opened.clear();
    return 0;
}
