#include "app/shake.h"

#include <QPoint>
#include <QRandomGenerator>
#include <QWidget>

#include <algorithm>

namespace {
constexpr int kMaxIntensity = 20;
constexpr int kMaxRounds = 5000;
} // namespace

void vibrer_fenetre(QWidget* window, int intensity, int rounds)
{
    const QPoint start = window->pos();
    const int steps = std::clamp(intensity, 0, kMaxIntensity) + 1;
    rounds = std::min(rounds, kMaxRounds);
    QPoint offset;
    bool leftAndDown = true;
    for (int round = 0; round < rounds; ++round) {
        window->move(window->pos() - offset);
        int dx = int(QRandomGenerator::global()->bounded(steps)) + 1;
        int dy = int(QRandomGenerator::global()->bounded(steps)) + 1;
        if (leftAndDown)
            dx = -dx;
        else
            dy = -dy;
        offset = QPoint(dx, dy);
        window->move(window->pos() + offset);
        leftAndDown = !leftAndDown;
    }
    window->move(start);
}
