#include "tools/itemarray.h"

#include <algorithm>

QList<int> storedEntries(QSettings& settings, const QString& array)
{
    settings.beginGroup(array);
    const int size = settings.value(QStringLiteral("size")).toInt();
    const QStringList groups = settings.childGroups();
    settings.endGroup();

    QList<int> entries;
    for (const QString& group : groups) {
        bool ok = false;
        const int entry = group.toInt(&ok);
        // Only the names that the array itself writes ("1", not "01").
        if (ok && entry >= 1 && entry <= size && QString::number(entry) == group)
            entries.append(entry);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}
