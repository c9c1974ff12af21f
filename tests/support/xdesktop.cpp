#include "support/xdesktop.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <optional>

namespace xdesktop {

std::optional<QString> run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

namespace {

QString hexId(WId window)
{
    return QStringLiteral("0x") + QString::number(quint64(window), 16);
}

// The values of a window property, as xprop prints them after " = ".
QStringList property(WId window, const QString& name)
{
    const QString line =
        run(QStringLiteral("xprop"), {"-notype", "-id", hexId(window), name}).value_or(QString());
    const qsizetype equals = line.indexOf(QStringLiteral(" = "));
    return equals < 0 ? QStringList() : line.mid(equals + 3).trimmed().split(QStringLiteral(", "));
}

QString xwininfoField(WId window, const QString& field)
{
    const QRegularExpression line(QStringLiteral("^\\s*%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(run(QStringLiteral("xwininfo"), {"-id", hexId(window)}).value_or(QString()))
        .captured(1)
        .trimmed();
}

} // namespace

bool xdotool(const QStringList& arguments)
{
    return run(QStringLiteral("xdotool"), arguments).has_value();
}

bool moveMouse(QPoint globalPosition)
{
    return xdotool({"mousemove", QString::number(globalPosition.x()), QString::number(globalPosition.y())});
}

bool closeThroughWindowManager(WId window)
{
    return run(QStringLiteral("wmctrl"), {"-i", "-c", hexId(window)}).has_value();
}

QStringList netWmState(WId window)
{
    return property(window, QStringLiteral("_NET_WM_STATE"));
}

QList<int> frameExtents(WId window)
{
    QList<int> extents;
    for (const QString& value : property(window, QStringLiteral("_NET_FRAME_EXTENTS")))
        extents.append(value.toInt());
    return extents.size() == 4 ? extents : QList<int>();
}

QPoint absolutePosition(WId window)
{
    return QPoint(xwininfoField(window, QStringLiteral("Absolute upper-left X")).toInt(),
                  xwininfoField(window, QStringLiteral("Absolute upper-left Y")).toInt());
}

bool isViewable(WId window)
{
    return xwininfoField(window, QStringLiteral("Map State")) == QStringLiteral("IsViewable");
}

WId shownWindow(qint64 pid, const QString& title)
{
    return run(QStringLiteral("xdotool"),
               {"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name",
                '^' + title + '$'})
        .value_or(QString())
        .section('\n', 0, 0)
        .toULongLong();
}

QString gdbusCall(const QString& destination, const QString& path, const QString& method,
                  const QStringList& arguments)
{
    return run(QStringLiteral("gdbus"),
               QStringList{"call", "--session", "--dest", destination, "--object-path", path, "--method",
                           method}
                   + arguments)
        .value_or(QString());
}

QString trayItem(qint64 pid)
{
    // Qt registers its item under its connection's unique name.
    const QString items = gdbusCall("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                    "org.freedesktop.DBus.Properties.Get",
                                    {"org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems"});
    const QString owner = QStringLiteral("(uint32 %1,)").arg(pid);
    for (const QRegularExpressionMatch& item : QRegularExpression("'(:[0-9.]+)'").globalMatch(items)) {
        if (gdbusCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                      "org.freedesktop.DBus.GetConnectionUnixProcessID", {item.captured(1)})
                .trimmed()
            == owner)
            return item.captured(1);
    }
    return {};
}

namespace {

// Where the tray bar shows icons, in its `shown` image: the middle of each,
// from the right.
QList<int> iconCentres(const QImage& shown)
{
    const auto background = [&](int x) {
        for (int y = 0; y < shown.height(); ++y)
            if (shown.pixel(x, y) != shown.pixel(0, 0))
                return false;
        return true;
    };
    QList<int> centres;
    for (int right = shown.width() - 1; right >= 0; --right) {
        if (background(right))
            continue;
        int left = right;
        while (left > 0 && !background(left - 1))
            --left;
        centres.append((left + right) / 2);
        right = left;
    }
    return centres;
}

} // namespace

bool clickTrayIcon(int button, const std::function<bool()>& until)
{
    // The bar, not the other windows the tray makes.
    WId bar = 0;
    const QString bars =
        run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", "^gtk-sni-tray-standalone$"})
            .value_or(QString());
    for (const QString& id : bars.split('\n', Qt::SkipEmptyParts)) {
        if (xwininfoField(id.toULongLong(), QStringLiteral("Width")).toInt() > 100)
            bar = id.toULongLong();
    }
    if (!bar)
        return false;
    // A new icon may be drawn a little after its item registered.
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        const QImage shown = QGuiApplication::primaryScreen()->grabWindow(bar).toImage();
        for (const int x : iconCentres(shown)) {
            if (!moveMouse(absolutePosition(bar) + QPoint(x, shown.height() / 2))
                || !xdotool({"click", QString::number(button)}))
                return false;
            if (QTest::qWaitFor(until, 1000))
                return true;
        }
        QTest::qWait(200);
    }
    return false;
}

bool syncWithWindowManager(WId window)
{
    const auto leftOutOfPagers = [window] {
        return netWmState(window).contains(QStringLiteral("_NET_WM_STATE_SKIP_PAGER"));
    };
    const bool before = leftOutOfPagers();
    return run(QStringLiteral("wmctrl"), {"-i", "-r", hexId(window), "-b", "toggle,skip_pager"})
        && QTest::qWaitFor([&] { return leftOutOfPagers() != before; }, 5000);
}

} // namespace xdesktop
