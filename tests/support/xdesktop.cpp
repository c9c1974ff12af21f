#include "support/xdesktop.h"

#include <QProcess>
#include <QRegularExpression>

namespace xdesktop {

namespace {

QString hexId(WId window)
{
    return QStringLiteral("0x") + QString::number(quint64(window), 16);
}

bool xdotool(const QStringList& arguments)
{
    bool ok = false;
    run(QStringLiteral("xdotool"), arguments, &ok);
    return ok;
}

} // namespace

QByteArray run(const QString& program, const QStringList& arguments, bool* ok)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForStarted(5000) && process.waitForFinished(10000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return process.readAllStandardOutput();
}

QString property(WId window, const QString& name)
{
    const QString line = QString::fromUtf8(
        run(QStringLiteral("xprop"), {QStringLiteral("-notype"), QStringLiteral("-id"), hexId(window), name}));
    const qsizetype equals = line.indexOf(QStringLiteral(" = "));
    return equals < 0 ? QString() : line.mid(equals + 3).trimmed();
}

QStringList netWmState(WId window)
{
    return property(window, QStringLiteral("_NET_WM_STATE")).split(QStringLiteral(", "), Qt::SkipEmptyParts);
}

QList<int> frameExtents(WId window)
{
    QList<int> extents;
    for (const QString& value : property(window, QStringLiteral("_NET_FRAME_EXTENTS")).split(QStringLiteral(", "),
                                                                                         Qt::SkipEmptyParts))
        extents.append(value.toInt());
    return extents.size() == 4 ? extents : QList<int>();
}

namespace {

QString xwininfoField(WId window, const QString& field)
{
    const QString info = QString::fromUtf8(run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), hexId(window)}));
    const QRegularExpression line(QStringLiteral("^\\s*") + QRegularExpression::escape(field)
                                      + QStringLiteral(":\\s*(.*)$"),
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

} // namespace

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

} // namespace xdesktop
