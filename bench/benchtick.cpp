// How late after the wall clock's second turns does the displayed second
// change? Runs the tick source and, in the same event loop, a plain repeating
// 1000 ms timer started at an arbitrary moment, and prints for each the delay
// after the last whole second at which its handler ran.
#include "app/jtime.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

int msecsIntoSecond()
{
    return QTime::currentTime().msec();
}

void report(QTextStream& out, const char* name, std::vector<int> delays)
{
    std::sort(delays.begin(), delays.end());
    const auto at = [&delays](double q) {
        return delays[std::min(delays.size() - 1, size_t(q * double(delays.size())))];
    };
    out << qSetFieldWidth(28) << Qt::left << name << qSetFieldWidth(0) << "samples " << delays.size()
        << "  median " << at(0.5) << " ms"
        << "  p99 " << at(0.99) << " ms"
        << "  max " << delays.back() << " ms\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 25;

    std::vector<int> tickDelays;
    std::vector<int> timerDelays;

    JTime tick;
    QObject::connect(&tick, &JTime::secondChanged, [&] { tickDelays.push_back(msecsIntoSecond()); });

    QTimer plain;
    plain.setInterval(1000);
    QObject::connect(&plain, &QTimer::timeout, [&] { timerDelays.push_back(msecsIntoSecond()); });
    QTimer::singleShot(int(QRandomGenerator::global()->bounded(1000)), &plain, qOverload<>(&QTimer::start));

    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();

    QTextStream out(stdout);
    out << "Second tick delay after the wall clock's second, over " << seconds << " s\n";
    report(out, "aligned tick (JTime)", tickDelays);
    report(out, "plain 1000 ms timer", timerDelays);
    return 0;
}
