#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

class QSettings;

// The scalar settings of conf.ini, one variable per key. Every part of the
// program reads them directly; they are written only by the load, the
// preferences dialog, the first start and changer_langue().
struct Configuration
{
    bool premier_demarrage = true;
    bool demarrage_reduire = false;
    bool demarrage_os = false;
    bool demarrage_onTop = false;
    bool sauvegarde_alarmes = true;
    bool sauvegarde_chronos = true;
    bool sauvegarde_car = true;
    bool sauvegarde_te = true;
    QString horloge_image = QStringLiteral(":/ressources/horloge_modern.png");
    int horloge_pen_r = 0;
    int horloge_pen_v = 0;
    int horloge_pen_b = 0;
    int horloge_pen_size = 0;
    bool horloge_aiguille_seconde = true;
    bool vibration_active = false;
    int vibration_duree = 200;
    int vibration_intensite = 5;
    // One of the ChimeKind values; anything else is silence as well.
    int sonnerie_type = 0;
    int sonnerie_bip_frequence = 7000;
    int sonnerie_bip_duree = 500;
    QString sonnerie_son = QStringLiteral("ressources/ding.wav");
    QString langue = QStringLiteral("fr");
    // An alarm or a countdown that rings plays the chime's sound until it is
    // answered; "Répéter" rings an alarm again so many minutes later (1 to
    // 60).
    bool alarmes_son = false;
    int alarmes_repetition = 10;
};

constexpr int kMinRepeatMinutes = 1;
constexpr int kMaxRepeatMinutes = 60;

// The hourly chimes of sonnerie/type. The preferences store kChimeNone for
// silence; every other value but the first two is silent too.
enum ChimeKind { kChimeBeep = 1, kChimeWav = 2, kChimeNone = 3 };

extern Configuration g_configuration;

// Reads every scalar key (all but "date"); what is missing or unreadable
// keeps its default.
void charger_configuration();
// The complete save: "date", every scalar key and the arrays of the tools
// whose windows take part (addItemWriter()), written to the file at once;
// unknown keys, and the arrays of no window, are left alone. Then the
// autostart entry is brought in line with demarrage/os.
void sauver_configuration();
// While a tool window lives, the save of the settings writes its array too,
// so that "date", which tells how long a running stopwatch has run on and
// which alarms came unseen, never moves without the arrays it dates.
using ItemWriter = std::function<void(QSettings& settings)>;
void addItemWriter(const void* owner, ItemWriter writer);
void removeItemWriter(const void* owner);
// The "date" of the last save, which the end of every run makes: when the
// program was last closed. Invalid when there is none.
QDateTime lastSaveTime();

// The conf.ini that every reader and writer uses. Settled at the first call
// (start-up makes it) and kept for the whole run, so that the settings and
// every tool write the same file even if a folder changes meanwhile.
QString configurationFilePath();
// Every reader and writer of conf.ini opens it through this.
std::unique_ptr<QSettings> openConfiguration();
// Writes what `settings` holds to its file now, through a temporary file
// that replaces it whole, so that a failed save leaves the previous one as it
// was. A failure is told in one line on stderr naming the file, and to the
// failure handler when there is one; the values stay in memory only.
bool commitConfiguration(QSettings& settings);
// Called with the file's path after every failed save while it is set (the
// main window shows it in the tray during the run); empty by default.
void setSaveFailureHandler(std::function<void(const QString& file)> handler);
// Points conf.ini elsewhere (tests); an empty path settles it afresh at the
// next call.
void setConfigurationFilePath(const QString& path);

// The rule behind configurationFilePath(): conf.ini beside the program when
// its folder can be written (portable use: the build folder, a copy unpacked
// anywhere), and the file too if it is there; otherwise in the user's
// configuration folder for Clepsa, which is made if needed. A clock run from
// the folder it was installed to (`installedDir`) never writes there, even
// when it can (root). A conf.ini beside the program that cannot be written
// is copied to the user's folder when the user has none yet, so that its
// settings and items carry over. `isWritable` is asked about paths.
using WritableTest = std::function<bool(const QString& path)>;
QString locateConfigurationFile(const QString& programDir, const QString& installedDir,
                                const WritableTest& isWritable);
