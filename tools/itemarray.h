#pragma once

#include "app/configuration.h"

#include <QList>
#include <QSettings>
#include <QString>

#include <optional>

// The items of a tool live in conf.ini as one array of records ("alarm",
// "timer", "pasttime", "stopwatch"). The stored array stays in the file while
// the program runs, so that a crash or a kill loses nothing; at the end of
// the run it is replaced whole by the items of the run, or removed when the
// tool is not to keep them.
//
// A record lists its keys once, for reading and writing alike, with
//     template<typename Self, typename Visit>
//     static void forEachField(Self& record, Visit&& visit);
// which calls visit("key", record.field) for every field, in the order of
// writing.

// A field that a file may lack reads as empty and is written only when set,
// so that a file without the key is saved without it.
template<typename Field>
void readField(const QSettings& settings, const QString& key, Field& field)
{
    field = settings.value(key).template value<Field>();
}
template<typename Field>
void readField(const QSettings& settings, const QString& key, std::optional<Field>& field)
{
    field.reset();
    if (settings.contains(key))
        field = settings.value(key).template value<Field>();
}
template<typename Field>
void writeField(QSettings& settings, const QString& key, const Field& field)
{
    settings.setValue(key, field);
}
template<typename Field>
void writeField(QSettings& settings, const QString& key, const std::optional<Field>& field)
{
    if (field)
        settings.setValue(key, *field);
}

// The entries really in the file, in index order. A hand-edited or damaged
// size can claim far more (size=2000000000) than is there; trusting it would
// loop for ever on empty entries.
QList<int> storedEntries(QSettings& settings, const QString& array);

// The stored records, in order; a missing or unreadable key reads as 0,
// false, an empty text or no date (an optional field: none).
template<typename Record>
QList<Record> loadItems(const QString& array)
{
    const auto settings = openConfiguration();
    const QList<int> entries = storedEntries(*settings, array);
    QList<Record> records;
    settings->beginReadArray(array);
    for (const int entry : entries) {
        settings->setArrayIndex(entry - 1);
        Record record;
        Record::forEachField(record, [&settings](const char* key, auto& field) {
            readField(*settings, QLatin1String(key), field);
        });
        records.append(record);
    }
    settings->endArray();
    return records;
}

// Replaces the array by `records` in `settings` when `keep` is set, removes
// it otherwise; the file is written when `settings` is committed.
template<typename Record>
void writeItems(QSettings& settings, const QString& array, const QList<Record>& records, bool keep)
{
    settings.remove(array);
    if (!keep)
        return;
    settings.beginWriteArray(array);
    for (int i = 0; i < records.size(); ++i) {
        settings.setArrayIndex(i);
        Record::forEachField(records.at(i), [&settings](const char* key, const auto& field) {
            writeField(settings, QLatin1String(key), field);
        });
    }
    settings.endArray();
}
