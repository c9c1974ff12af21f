#include "app/pictures.h"

#include <QCoreApplication>
#include <QHash>

namespace {

QHash<QString, QIcon>& cache()
{
    static QHash<QString, QIcon> icons;
    return icons;
}

// Pixmaps must go while the application object still exists.
void clearCache()
{
    cache().clear();
}

} // namespace

QIcon picture(const QString& resource)
{
    QHash<QString, QIcon>& icons = cache();
    auto found = icons.constFind(resource);
    if (found != icons.constEnd())
        return *found;
    if (icons.isEmpty())
        qAddPostRoutine(clearCache);
    return *icons.insert(resource, QIcon(resource));
}
