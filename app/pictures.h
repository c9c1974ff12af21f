#pragma once

#include <QIcon>
#include <QString>

class QLabel;

// The icon of one of the program's pictures (":/ressources/play.png"), read
// once for the whole run, when it is first drawn: pages made by the hundred
// would otherwise decode the same files again for each page.
QIcon picture(const QString& resource);

// Gives `label`, whose form shows `resource` at its own size, that picture
// again at the label's pixel density when it is above 1. A form reads the
// file itself, and a denser screen would show it stretched; the picture
// takes its "@2x" copy there. A screen of ratio 1 needs nothing more.
void showAtScreenDensity(QLabel* label, const QString& resource);
