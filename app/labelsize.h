#pragma once

class QLabel;
class QString;

// Gives a label of digits one size, wide enough for any digits in the zeros
// of `pattern` ("00:00:00"), so that a new text only repaints the label
// instead of laying its whole window out again. The label keeps its text.
void holdSize(QLabel* label, const QString& pattern);
