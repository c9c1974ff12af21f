#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QString>

class TestDay;

// Damaged conf.ini files, made from valid ones: what a crash mid-write, a
// bad disk, a careless hand edit or another program could leave. The same
// seed gives the same inputs in the same order.
class ConfigurationFuzzer
{
public:
    explicit ConfigurationFuzzer(quint32 seed);

    // Valid files holding every setting and items in every tool: one as the
    // program writes it, one as a person would type it.
    static QList<QByteArray> seeds();

    // One of the seeds with one to four damages.
    QByteArray next();

private:
    void mutate(QByteArray& input);
    QByteArray randomValue();
    QByteArray randomKey();

    QRandomGenerator m_random;
    QList<QByteArray> m_seeds;
};

// What one input did, and how long it took.
struct ConfigurationLoadReport
{
    int inputs = 0;
    qint64 totalMs = 0;
    qint64 slowestMs = -1;
    int slowestIndex = -1;
    QByteArray slowestInput;
    // An input whose second load did not give back what the first stored.
    QList<int> unstable;
};

// Writes `input` as the conf.ini at `path`, loads the settings, then makes
// each tool window with its stored pages and destroys it, which stores its
// items. Done twice, the second time on what the first stored (less the
// date, so that running stopwatches do not count the closed time twice):
// returns false when the second pass stored other settings or items, which
// means the first lost or changed what it read. Needs the tick source and tray
// icon of creer_objets_globaux() and a clock that stands still.
bool loadEverything(const QString& path, const QByteArray& input);

// Runs `count` inputs of `seed` through loadEverything(), each in a fresh
// folder of `day`'s. An input that runs longer than `hangMs` is printed, as
// "seed/index" and as bytes, and the process aborted: a hang must not pass
// for slowness.
ConfigurationLoadReport fuzzConfigurationLoad(TestDay& day, quint32 seed, int count, qint64 hangMs);
