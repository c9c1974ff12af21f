#include "support/xdesktop.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace xdesktop {

namespace {

QString hexId(WId window)
{
    return QStringLiteral("0x") + QString::number(quint64(window), 16);
}

// Standard output of an X tool; `ok` tells whether it ran and exited with 0.
QString run(const QString& program, const QStringList& arguments, bool* ok = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForStarted(5000) && process.waitForFinished(10000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool xdotool(const QStringList& arguments)
{
    bool ok = false;
    run(QStringLiteral("xdotool"), arguments, &ok);
    return ok;
}

// The values of a window property, as xprop prints them after " = ".
QStringList property(WId window, const QString& name)
{
    const QString line =
        run(QStringLiteral("xprop"), {QStringLiteral("-notype"), QStringLiteral("-id"), hexId(window), name});
    const qsizetype equals = line.indexOf(QStringLiteral(" = "));
    return equals < 0 ? QStringList()
                      : line.mid(equals + 3).trimmed().split(QStringLiteral(", "), Qt::SkipEmptyParts);
}

QString xwininfoField(WId window, const QString& field)
{
    const QRegularExpression line(QStringLiteral("^\\s*") + field + QStringLiteral(":\\s*(.*)$"),
                                  QRegularExpression::MultilineOption);
    return line.match(run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), hexId(window)}))
        .captured(1)
        .trimmed();
}

} // namespace

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

bool moveMouse(QPoint globalPosition)
{
    return xdotool({QStringLiteral("mousemove"), QString::number(globalPosition.x()),
                    QString::number(globalPosition.y())});
}

bool pressButton(int button)
{
    return xdotool({QStringLiteral("mousedown"), QString::number(button)});
}

bool releaseButton(int button)
{
    return xdotool({QStringLiteral("mouseup"), QString::number(button)});
}

bool click(int button, int repeat, int delayMs)
{
    return xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(repeat),
                    QStringLiteral("--delay"), QString::number(delayMs), QString::number(button)});
}

bool pressKey(const QString& key)
{
    return xdotool({QStringLiteral("key"), key});
}

bool closeThroughWindowManager(WId window)
{
    bool ok = false;
    run(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-c"), hexId(window)}, &ok);
    return ok;
}

bool syncWithWindowManager(WId window)
{
    const QString skipPager = QStringLiteral("_NET_WM_STATE_SKIP_PAGER");
    const bool wasSkipped = netWmState(window).contains(skipPager);
    bool ok = false;
    run(QStringLiteral("wmctrl"),
        {QStringLiteral("-i"), QStringLiteral("-r"), hexId(window), QStringLiteral("-b"),
         QStringLiteral("toggle,skip_pager")},
        &ok);
    QDeadlineTimer deadline(5000);
    while (ok && netWmState(window).contains(skipPager) == wasSkipped) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return ok;
}

} // namespace xdesktop
