#include "app/shake.h"

#include "platform/displayserver.h"

#include <QPoint>
#include <QRandomGenerator>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {
constexpr int kMaxIntensity = 20;
constexpr int kMaxRounds = 5000;

// Puts the window `offset` away from where it stood at the start.
std::function<void(QPoint)> windowMover(QWidget* window)
{
    const QPoint start = window->pos();
    return [window, start](QPoint offset) { window->move(start + offset); };
}

// Where the desktop alone places windows, the window stays and what it shows
// moves inside it: each widget laid in the window is put `offset` away from
// its place, and the window is painted at once, as there is no return to the
// event loop until the end.
std::function<void(QPoint)> contentMover(QWidget* window)
{
    std::vector<std::pair<QWidget*, QPoint>> places;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            places.emplace_back(child, child->pos());
    }
    return [window, places = std::move(places)](QPoint offset) {
        for (const auto& [child, place] : places)
            child->move(place + offset);
        if (window->isVisible())
            window->repaint();
    };
}

} // namespace

void vibrer_fenetre(QWidget* window, int intensity, int rounds)
{
    const std::function<void(QPoint)> moveBy =
        platform::isWaylandClient() ? contentMover(window) : windowMover(window);
    const int steps = std::clamp(intensity, 0, kMaxIntensity) + 1;
    rounds = std::min(rounds, kMaxRounds);
    bool leftAndDown = true;
    for (int round = 0; round < rounds; ++round) {
        moveBy({});
        int dx = int(QRandomGenerator::global()->bounded(steps)) + 1;
        int dy = int(QRandomGenerator::global()->bounded(steps)) + 1;
        if (leftAndDown)
            dx = -dx;
        else
            dy = -dy;
        moveBy({dx, dy});
        leftAndDown = !leftAndDown;
    }
    moveBy({});
}
