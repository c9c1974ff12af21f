#pragma once

#include <QIcon>
#include <QString>

// The icon of one of the program's pictures (":/ressources/play.png"), read
// once for the whole run, when it is first drawn: pages made by the hundred
// would otherwise decode the same files again for each page.
QIcon picture(const QString& resource);
