#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class TestDay;

// A conf.ini as a person would type it: every setting, and two items in
// every tool.
extern const QByteArray kTypedConfiguration;

// Writes `input` as the conf.ini at `path`, loads the settings, then makes
// each tool window with its stored pages and destroys it, which stores its
// items. Done twice, the second time on what the first stored (less the
// date, so that running stopwatches do not count the closed time twice):
// returns false when the second pass stored other settings or items, which
// means the first lost or changed what it read. Needs the tick source and
// tray icon of creer_objets_globaux() and a clock that stands still.
bool loadEverything(const QString& path, const QByteArray& input);

// Runs `count` damaged files through loadEverything() and returns the
// indices of those that the second pass stored differently. They are what a
// crash mid-write, a bad disk or a careless hand could leave of
// kTypedConfiguration and of what the program stores of it; the same seed
// gives the same files. An input still running after `hangSeconds` aborts
// the process, named "seed/index": a hang must not pass for slowness.
QList<int> fuzzConfigurationLoad(TestDay& day, quint32 seed, int count, int hangSeconds);
