#pragma once

#include <QString>

// The first `count` characters of `text`, never splitting a character that
// takes two UTF-16 units: half of one would be saved as garbage.
QString firstCharacters(const QString& text, int count);
