#include "app/labelsize.h"

#include <QLabel>

void holdSize(QLabel* label, const QString& pattern)
{
    const QString shown = label->text();
    QSize widest = label->minimumSize();
    for (char digit = '0'; digit <= '9'; ++digit) {
        label->setText(QString(pattern).replace(QLatin1Char('0'), QLatin1Char(digit)));
        widest = widest.expandedTo(label->sizeHint());
    }
    label->setFixedSize(widest);
    label->setText(shown);
}
