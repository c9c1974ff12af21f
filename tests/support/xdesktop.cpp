#include "support/xdesktop.h"

#include <QProcess>
#include <QRegularExpression>
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

bool activateTrayItem(qint64 pid, const std::function<bool()>& until)
{
    // As the tray bar does on a click. Its answer is not awaited: a process
    // that calls on itself answers only once its event loop runs.
    const QString item = trayItem(pid);
    if (item.isEmpty())
        return false;
    QProcess call;
    call.start(QStringLiteral("gdbus"),
               {"call", "--session", "--dest", item, "--object-path", "/StatusNotifierItem", "--method",
                "org.kde.StatusNotifierItem.Activate", "0", "0"});
    const bool shown = QTest::qWaitFor(until, 10000);
    call.waitForFinished();
    return shown;
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
