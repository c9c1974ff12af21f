// Draws every image Clepsa embeds, and synthesises its default chime; or,
// at build time, the application icon at the sizes a desktop wants.
//
//   draw_resources OUTPUT_DIR
//   draw_resources --app-icon NAME OUTPUT_DIR SIZE...
//
// Everything is painted with QPainter or computed sample by sample, so the
// artwork can be changed here and regenerated with scripts/draw-resources.
// The output is deterministic: running the tool twice gives identical files.

#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRadialGradient>
#include <QRectF>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Painting helpers

QImage blankImage(int width, int height)
{
    // An alpha format makes the PNG writer produce 8-bit RGBA.
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// Point at `radius` from `centre`, `degrees` clockwise from twelve o'clock.
QPointF polar(QPointF centre, double radius, double degrees)
{
    const double a = degrees * kPi / 180.0;
    return {centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a)};
}

QLinearGradient vertical(double top, double bottom, const QColor& from, const QColor& to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// Three box-blur passes over the alpha channel approximate a gaussian blur.
std::vector<float> blurAlpha(const QImage& layer, int radius)
{
    const int w = layer.width();
    const int h = layer.height();
    std::vector<float> a(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = 0; x < w; ++x)
            a[static_cast<size_t>(y) * w + x] = qAlpha(line[x]) / 255.0f;
    }
    if (radius <= 0)
        return a;

    std::vector<float> tmp(a.size());
    const float norm = 1.0f / (2 * radius + 1);
    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w;
        const int len = horizontal ? w : h;
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> float {
                if (i < 0 || i >= len)
                    return 0.0f;
                return horizontal ? a[static_cast<size_t>(l) * w + i] : a[static_cast<size_t>(i) * w + l];
            };
            float sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += at(i);
            for (int i = 0; i < len; ++i) {
                const size_t idx =
                    horizontal ? static_cast<size_t>(l) * w + i : static_cast<size_t>(i) * w + l;
                tmp[idx] = sum * norm;
                sum += at(i + radius + 1) - at(i - radius);
            }
        }
        a.swap(tmp);
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
    return a;
}

// Composites `layer` over a soft drop shadow of itself.
QImage withShadow(const QImage& layer, int blur, QPointF offset, double opacity)
{
    const std::vector<float> alpha = blurAlpha(layer, blur);
    QImage shadow = blankImage(layer.width(), layer.height());
    for (int y = 0; y < shadow.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(shadow.scanLine(y));
        for (int x = 0; x < shadow.width(); ++x) {
            const float v = alpha[static_cast<size_t>(y) * shadow.width() + x];
            const int a = std::clamp(static_cast<int>(std::lround(v * opacity * 255.0)), 0, 255);
            line[x] = qRgba(0, 0, 0, a); // premultiplied black is just alpha
        }
    }
    QImage out = blankImage(layer.width(), layer.height());
    QPainter p(&out);
    smooth(p);
    p.drawImage(offset, shadow);
    p.drawImage(QPointF(0, 0), layer);
    p.end();
    return out;
}

// A rectangle with rounded corners whose top-right corner is cut off: a
// sheet of paper, or a floppy disk.
QPainterPath cutCornerOutline(const QRectF& r, double cut, double corner)
{
    QPainterPath path;
    path.moveTo(r.left() + corner, r.top());
    path.lineTo(r.right() - cut, r.top());
    path.lineTo(r.right(), r.top() + cut);
    path.lineTo(r.right(), r.bottom() - corner);
    path.quadTo(r.right(), r.bottom(), r.right() - corner, r.bottom());
    path.lineTo(r.left() + corner, r.bottom());
    path.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - corner);
    path.lineTo(r.left(), r.top() + corner);
    path.quadTo(r.left(), r.top(), r.left() + corner, r.top());
    path.closeSubpath();
    return path;
}

// A sheet of paper with a folded top-right corner, shared by "new" and
// "export" so the two toolbar icons belong together.
void paintSheet(QPainter& p, const QRectF& r, double fold, double corner)
{
    const QPainterPath sheet = cutCornerOutline(r, fold, corner);

    p.setPen(QPen(QColor(0xb4, 0xbd, 0xc8), 4, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(vertical(r.top(), r.bottom(), QColor(0xff, 0xff, 0xff), QColor(0xea, 0xee, 0xf3)));
    p.drawPath(sheet);

    // The folded-over flap.
    QPainterPath flap;
    const QPointF a(r.right() - fold, r.top());
    const QPointF b(r.right(), r.top() + fold);
    flap.moveTo(a);
    flap.lineTo(a.x(), b.y() - corner);
    flap.quadTo(a.x(), b.y(), a.x() + corner, b.y());
    flap.lineTo(b);
    flap.closeSubpath();
    QLinearGradient flapFill(a.x(), b.y(), b.x(), a.y());
    flapFill.setColorAt(0, QColor(0xf6, 0xf8, 0xfa));
    flapFill.setColorAt(1, QColor(0xc9, 0xd1, 0xdb));
    p.setBrush(flapFill);
    p.drawPath(flap);

    // Lines of "text".
    p.setPen(QPen(QColor(0xcc, 0xd3, 0xdc), 9, Qt::SolidLine, Qt::RoundCap));
    const double left = r.left() + 26;
    const double width = r.width() - 52;
    const double widths[] = {0.55, 1.0, 0.85, 1.0, 0.7, 0.9};
    const double firstY = r.top() + fold + 22;
    for (int i = 0; i < 6; ++i) {
        const double y = firstY + i * 24;
        if (y > r.bottom() - 20)
            break;
        p.drawLine(QPointF(left, y), QPointF(left + width * widths[i], y));
    }
}

// ---------------------------------------------------------------------------
// The images

// Application and tray icon: a wall clock showing ten past ten, drawn on an
// 81-pixel grid and scaled to `size`, so that every icon size is painted
// rather than resampled.
QImage drawClock(int size)
{
    const double scale = size / 81.0;
    QImage layer = blankImage(size, size);
    QPainter p(&layer);
    smooth(p);
    p.scale(scale, scale);
    const QPointF c(40.5, 40.0);

    // Rim.
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(c.y() - 37.5, c.y() + 37.5, QColor(0x55, 0x60, 0x70), QColor(0x1c, 0x23, 0x2c)));
    p.drawEllipse(c, 37.5, 37.5);
    // A faint bevel light on the rim's upper edge.
    p.setPen(QPen(QColor(255, 255, 255, 55), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 37, c.y() - 37, 74, 74), 30 * 16, 120 * 16);

    // Face.
    const double face = 32.0;
    QRadialGradient faceFill(c.x(), c.y() - 8, face + 8);
    faceFill.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    faceFill.setColorAt(0.65, QColor(0xf4, 0xf6, 0xf9));
    faceFill.setColorAt(1.0, QColor(0xd6, 0xdc, 0xe4));
    p.setPen(Qt::NoPen);
    p.setBrush(faceFill);
    p.drawEllipse(c, face, face);
    p.setPen(QPen(QColor(0, 0, 0, 70), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, face - 0.5, face - 0.5);

    // Hour ticks; the quarters are longer and bolder.
    for (int h = 0; h < 12; ++h) {
        const bool quarter = h % 3 == 0;
        p.setPen(QPen(quarter ? QColor(0x22, 0x2a, 0x34) : QColor(0x5e, 0x69, 0x76), quarter ? 3.2 : 1.7,
                      Qt::SolidLine, Qt::FlatCap));
        p.drawLine(polar(c, quarter ? 22.5 : 25.0, h * 30.0), polar(c, 29.0, h * 30.0));
    }

    // Hands at 10:10, with a thin red seconds hand.
    const QColor ink(0x1f, 0x27, 0x31);
    p.setPen(QPen(ink, 4.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, polar(c, 16.0, 305.0));
    p.setPen(QPen(ink, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, polar(c, 25.0, 60.0));
    const QColor red(0xe2, 0x3d, 0x32);
    p.setPen(QPen(red, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(polar(c, 6.0, 225.0 + 180.0), polar(c, 27.0, 225.0));
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawEllipse(c, 3.0, 3.0);
    p.setBrush(QColor(0xff, 0xff, 0xff, 200));
    p.drawEllipse(c, 1.0, 1.0);
    p.end();

    return withShadow(layer, std::max(1, static_cast<int>(std::lround(scale))), QPointF(0, scale), 0.45);
}

// The application icon at each of `sizes`, as a desktop's icon theme holds
// it: OUTPUT_DIR/<size>x<size>/apps/<name>.
int writeAppIcons(const QDir& dir, const QString& name, const QStringList& sizes)
{
    int failures = 0;
    for (const QString& text : sizes) {
        const int size = text.toInt();
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = dir.filePath(folder + QLatin1Char('/') + name);
        if (size <= 0 || !QDir().mkpath(dir.filePath(folder)) || !drawClock(size).save(path, "PNG")) {
            QTextStream(stderr) << "failed to write " << path << "\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

// "Alarm armed" marker, shown at its true size next to the time.
QImage drawGoldBell(int scale)
{
    QImage image = blankImage(17 * scale, 17 * scale);
    QPainter p(&image);
    smooth(p);
    p.scale(scale, scale);

    QPainterPath bell;
    bell.moveTo(8.5, 1.9);
    bell.cubicTo(11.6, 1.9, 12.9, 4.4, 12.9, 7.2);
    bell.lineTo(12.9, 9.4);
    bell.cubicTo(12.9, 10.9, 14.0, 11.7, 15.3, 12.3);
    bell.lineTo(15.3, 13.7);
    bell.lineTo(1.7, 13.7);
    bell.lineTo(1.7, 12.3);
    bell.cubicTo(3.0, 11.7, 4.1, 10.9, 4.1, 9.4);
    bell.lineTo(4.1, 7.2);
    bell.cubicTo(4.1, 4.4, 5.4, 1.9, 8.5, 1.9);
    bell.closeSubpath();

    const QColor outline(0x7a, 0x4c, 0x00);

    // Clapper, behind the rim.
    p.setPen(QPen(outline, 0.9));
    p.setBrush(QColor(0xd9, 0x9a, 0x12));
    p.drawEllipse(QPointF(8.5, 14.6), 1.75, 1.75);

    // Knob on top.
    p.drawEllipse(QPointF(8.5, 1.5), 1.1, 1.1);

    QLinearGradient metal(1.7, 0, 15.3, 0);
    metal.setColorAt(0.00, QColor(0xc4, 0x82, 0x00));
    metal.setColorAt(0.32, QColor(0xff, 0xe4, 0x7a));
    metal.setColorAt(0.55, QColor(0xf7, 0xc2, 0x26));
    metal.setColorAt(1.00, QColor(0xb0, 0x70, 0x00));
    p.setPen(QPen(outline, 0.9, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(metal);
    p.drawPath(bell);

    // A darker band where the lip flares out.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9a, 0x60, 0x00, 110));
    p.drawRect(QRectF(2.2, 12.3, 12.6, 1.0));

    // Shine on the dome.
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QRectF(5.6, 3.6, 1.8, 4.0));
    p.end();
    return image;
}

// The clock face the program paints its own hands over: hour marks only,
// with the middle kept light and empty so the hands stay readable.
QImage drawModernFace(int scale)
{
    QImage image = blankImage(58 * scale, 58 * scale);
    QPainter p(&image);
    smooth(p);
    p.scale(scale, scale);
    const QPointF c(29.0, 29.0);

    // Rim.
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(1, 57, QColor(0x4a, 0x55, 0x64), QColor(0x1b, 0x21, 0x2a)));
    p.drawEllipse(c, 28.0, 28.0);

    // Face.
    QRadialGradient faceFill(c.x(), c.y() - 4, 30);
    faceFill.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    faceFill.setColorAt(0.6, QColor(0xf7, 0xf9, 0xfb));
    faceFill.setColorAt(1.0, QColor(0xdb, 0xe1, 0xe8));
    p.setBrush(faceFill);
    p.drawEllipse(c, 25.5, 25.5);
    p.setPen(QPen(QColor(0, 0, 0, 60), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 25.1, 25.1);

    for (int h = 0; h < 12; ++h) {
        const bool quarter = h % 3 == 0;
        p.setPen(QPen(quarter ? QColor(0x1e, 0x26, 0x30) : QColor(0x6a, 0x74, 0x80), quarter ? 2.4 : 1.2,
                      Qt::SolidLine, Qt::FlatCap));
        p.drawLine(polar(c, quarter ? 18.0 : 20.5, h * 30.0), polar(c, 23.5, h * 30.0));
    }
    p.end();
    return image;
}

// Toolbar "New": a blank page with a green plus badge.
QImage drawNew()
{
    QImage layer = blankImage(256, 256);
    QPainter p(&layer);
    smooth(p);
    paintSheet(p, QRectF(36, 14, 152, 218), 46, 12);

    const QPointF badge(184, 186);
    p.setPen(QPen(Qt::white, 8));
    QLinearGradient green(0, badge.y() - 50, 0, badge.y() + 50);
    green.setColorAt(0, QColor(0x5c, 0xd6, 0x86));
    green.setColorAt(1, QColor(0x1f, 0x9d, 0x4f));
    p.setBrush(green);
    p.drawEllipse(badge, 50, 50);

    p.setPen(QPen(Qt::white, 17, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(badge.x() - 24, badge.y()), QPointF(badge.x() + 24, badge.y()));
    p.drawLine(QPointF(badge.x(), badge.y() - 24), QPointF(badge.x(), badge.y() + 24));
    p.end();
    return withShadow(layer, 4, QPointF(0, 3), 0.35);
}

// Toolbar "Delete": a red waste bin with its lid and handle.
QImage drawDelete()
{
    QImage layer = blankImage(194, 221);
    QPainter p(&layer);
    smooth(p);
    const double cx = 97.0;

    const QColor lidDark(0xa3, 0x22, 0x1c);

    // Handle.
    p.setPen(QPen(lidDark, 10, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath handle;
    handle.moveTo(cx - 26, 44);
    handle.lineTo(cx - 26, 24);
    handle.quadTo(cx - 26, 15, cx - 17, 15);
    handle.lineTo(cx + 17, 15);
    handle.quadTo(cx + 26, 15, cx + 26, 24);
    handle.lineTo(cx + 26, 44);
    p.drawPath(handle);

    // Body: a slightly tapered tub with rounded bottom corners.
    const double top = 62, bottom = 206;
    const double topHalf = 66, bottomHalf = 53, r = 16;
    QPainterPath body;
    body.moveTo(cx - topHalf, top);
    body.lineTo(cx + topHalf, top);
    body.lineTo(cx + bottomHalf + 1.5, bottom - r);
    body.quadTo(cx + bottomHalf, bottom, cx + bottomHalf - r, bottom);
    body.lineTo(cx - bottomHalf + r, bottom);
    body.quadTo(cx - bottomHalf, bottom, cx - bottomHalf - 1.5, bottom - r);
    body.closeSubpath();
    QLinearGradient bodyFill(cx - topHalf, 0, cx + topHalf, 0);
    bodyFill.setColorAt(0.0, QColor(0xd9, 0x3a, 0x32));
    bodyFill.setColorAt(0.35, QColor(0xf2, 0x5c, 0x52));
    bodyFill.setColorAt(1.0, QColor(0xc2, 0x2e, 0x27));
    p.setPen(Qt::NoPen);
    p.setBrush(bodyFill);
    p.drawPath(body);

    // Shadow cast by the lid onto the body.
    p.setBrush(vertical(top, top + 12, QColor(0x60, 0x10, 0x0c, 110), QColor(0x60, 0x10, 0x0c, 0)));
    p.drawRect(QRectF(cx - topHalf, top, 2 * topHalf, 12));

    // Grooves, converging slightly with the taper.
    p.setPen(QPen(QColor(0x8e, 0x1b, 0x16, 150), 11, Qt::SolidLine, Qt::RoundCap));
    for (int i = -1; i <= 1; ++i) {
        const double dx = 31.0 * i;
        p.drawLine(QPointF(cx + dx, 88), QPointF(cx + dx * 0.84, 182));
    }
    p.setPen(QPen(QColor(255, 255, 255, 70), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = -1; i <= 1; ++i) {
        const double dx = 31.0 * i + 4.0;
        p.drawLine(QPointF(cx + dx, 90), QPointF(cx + (dx - 4.0) * 0.84 + 4.0, 180));
    }

    // Lid.
    const QRectF lid(cx - 80, 38, 160, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(lid.top(), lid.bottom(), QColor(0xe4, 0x45, 0x3c), lidDark));
    p.drawRoundedRect(lid, 8, 8);
    p.setPen(QPen(QColor(255, 255, 255, 90), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(lid.left() + 9, lid.top() + 2.5), QPointF(lid.right() - 9, lid.top() + 2.5));
    p.end();
    return withShadow(layer, 4, QPointF(0, 3), 0.35);
}

// Media buttons share a look: a coloured gradient with a darker edge.
QImage drawMediaShape(int w, int h, int scale, const QPainterPath& shape, const QColor& light,
                      const QColor& dark)
{
    QImage image = blankImage(w * scale, h * scale);
    QPainter p(&image);
    smooth(p);
    p.scale(scale, scale);
    p.setPen(QPen(dark.darker(125), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(vertical(0, h, light, dark));
    p.drawPath(shape);
    p.end();
    return image;
}

QImage drawPlay(int scale)
{
    // Rounded triangle: straight edges between arcs at each corner.
    const QPointF a(2.5, 2.0), b(2.5, 26.0), c(20.5, 14.0);
    const double round = 2.2;
    auto towards = [](QPointF from, QPointF to, double dist) {
        const QPointF d = to - from;
        const double len = std::hypot(d.x(), d.y());
        return from + d * (dist / len);
    };
    QPainterPath path;
    path.moveTo(towards(a, b, round));
    path.lineTo(towards(b, a, round));
    path.quadTo(b, towards(b, c, round));
    path.lineTo(towards(c, b, round));
    path.quadTo(c, towards(c, a, round));
    path.lineTo(towards(a, c, round));
    path.quadTo(a, towards(a, b, round));
    path.closeSubpath();
    return drawMediaShape(22, 28, scale, path, QColor(0x58, 0xd0, 0x80), QColor(0x1f, 0x95, 0x4c));
}

QImage drawPause(int scale)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(2.5, 2.5, 8.0, 23.0), 2.0, 2.0);
    path.addRoundedRect(QRectF(15.5, 2.5, 8.0, 23.0), 2.0, 2.0);
    return drawMediaShape(26, 28, scale, path, QColor(0xff, 0xc2, 0x4a), QColor(0xe0, 0x85, 0x10));
}

QImage drawStop(int scale)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(3.5, 3.5, 21.0, 21.0), 3.0, 3.0);
    return drawMediaShape(28, 28, scale, path, QColor(0xf2, 0x6a, 0x60), QColor(0xc2, 0x2e, 0x27));
}

// "Save": a floppy disk.
QImage drawDisk()
{
    QImage layer = blankImage(128, 128);
    QPainter p(&layer);
    smooth(p);

    const QRectF r(8, 6, 112, 112);
    const double corner = 10, cut = 18;
    const QPainterPath body = cutCornerOutline(r, cut, corner);
    p.setPen(QPen(QColor(0x1a, 0x3f, 0x7a), 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(vertical(r.top(), r.bottom(), QColor(0x4a, 0x8c, 0xe6), QColor(0x22, 0x55, 0xa8)));
    p.drawPath(body);

    // Metal shutter with its window.
    const QRectF shutter(r.left() + 26, r.top() + 1, 62, 38);
    QPainterPath shutterPath;
    shutterPath.moveTo(shutter.topLeft());
    shutterPath.lineTo(shutter.topRight());
    shutterPath.lineTo(shutter.right(), shutter.bottom() - 5);
    shutterPath.quadTo(shutter.right(), shutter.bottom(), shutter.right() - 5, shutter.bottom());
    shutterPath.lineTo(shutter.left() + 5, shutter.bottom());
    shutterPath.quadTo(shutter.left(), shutter.bottom(), shutter.left(), shutter.bottom() - 5);
    shutterPath.closeSubpath();
    QLinearGradient steel(shutter.left(), 0, shutter.right(), 0);
    steel.setColorAt(0.0, QColor(0xc7, 0xcf, 0xd8));
    steel.setColorAt(0.4, QColor(0xf2, 0xf5, 0xf8));
    steel.setColorAt(1.0, QColor(0xaa, 0xb4, 0xc0));
    p.setPen(Qt::NoPen);
    p.setBrush(steel);
    p.drawPath(shutterPath);
    p.setBrush(QColor(0x2c, 0x36, 0x44));
    p.drawRoundedRect(QRectF(shutter.right() - 22, shutter.top() + 7, 12, 24), 2, 2);

    // Label.
    const QRectF label(r.left() + 14, r.top() + 56, r.width() - 28, r.height() - 62);
    p.setBrush(vertical(label.top(), label.bottom(), QColor(0xff, 0xff, 0xff), QColor(0xe6, 0xea, 0xf0)));
    p.drawRoundedRect(label, 6, 6);
    p.setPen(QPen(QColor(0xc4, 0xcd, 0xd8), 4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const double y = label.top() + 14 + i * 12;
        p.drawLine(QPointF(label.left() + 12, y), QPointF(label.right() - (i == 2 ? 30 : 12), y));
    }
    p.end();
    return withShadow(layer, 3, QPointF(0, 2), 0.35);
}

// "Export": a blue arrow leaving a page.
QImage drawExport()
{
    QImage layer = blankImage(256, 256);
    QPainter p(&layer);
    smooth(p);
    paintSheet(p, QRectF(22, 14, 152, 218), 46, 12);

    // Arrow, outlined in white so it stands off the page.
    const double y = 160, shaftHalf = 19, headHalf = 48;
    const double tail = 92, neck = 184, tip = 244;
    QPainterPath arrow;
    arrow.moveTo(tail + 8, y - shaftHalf);
    arrow.lineTo(neck, y - shaftHalf);
    arrow.lineTo(neck, y - headHalf);
    arrow.lineTo(tip, y);
    arrow.lineTo(neck, y + headHalf);
    arrow.lineTo(neck, y + shaftHalf);
    arrow.lineTo(tail + 8, y + shaftHalf);
    arrow.quadTo(tail, y + shaftHalf, tail, y + shaftHalf - 8);
    arrow.lineTo(tail, y - shaftHalf + 8);
    arrow.quadTo(tail, y - shaftHalf, tail + 8, y - shaftHalf);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::white, 10, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    p.setPen(QPen(QColor(0x17, 0x55, 0xb0), 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(vertical(y - headHalf, y + headHalf, QColor(0x4d, 0x9b, 0xf5), QColor(0x1c, 0x62, 0xc9)));
    p.drawPath(arrow);
    p.end();
    return withShadow(layer, 4, QPointF(0, 3), 0.35);
}

// ---------------------------------------------------------------------------
// The chime

// Mono 16-bit PCM at 44.1 kHz: a struck bell, a handful of inharmonic
// partials around A5, each decaying at its own rate.
std::vector<qint16> synthesiseChime()
{
    constexpr int rate = 44100;
    constexpr double seconds = 1.5;
    constexpr int count = static_cast<int>(rate * seconds);

    struct Partial
    {
        double ratio;
        double amplitude;
        double decay; // time constant, seconds
    };
    // Hum, fundamental (doubled with a slight detune for a gentle beat),
    // tierce, nominal and two upper partials.
    const Partial partials[] = {
        {0.500, 0.22, 0.50}, {1.000, 1.00, 0.42}, {1.0030, 0.35, 0.36}, {1.190, 0.18, 0.26},
        {2.000, 0.42, 0.22}, {2.760, 0.26, 0.12}, {5.400, 0.10, 0.06},
    };
    constexpr double base = 880.0;
    constexpr double attack = 0.006; // raised-cosine onset, seconds
    constexpr double release = 0.35; // fade to exact silence at the end

    std::vector<double> signal(count);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0;
        for (const Partial& pt : partials)
            v += pt.amplitude * std::exp(-t / pt.decay) * std::sin(2 * kPi * base * pt.ratio * t);
        double envelope = 1.0;
        if (t < attack)
            envelope = 0.5 - 0.5 * std::cos(kPi * t / attack);
        const double remaining = seconds - t;
        if (remaining < release)
            envelope *= 0.5 - 0.5 * std::cos(kPi * std::max(0.0, remaining) / release);
        signal[i] = v * envelope;
    }

    double peak = 0;
    for (double v : signal)
        peak = std::max(peak, std::abs(v));
    const double target = std::pow(10.0, -3.0 / 20.0) * 32767.0; // -3 dBFS
    const double gain = peak > 0 ? target / peak : 0;

    std::vector<qint16> samples(count);
    for (int i = 0; i < count; ++i)
        samples[i] = static_cast<qint16>(std::clamp(std::lround(signal[i] * gain), -32767L, 32767L));
    samples.back() = 0;
    return samples;
}

bool writeWav(const QString& path, const std::vector<qint16>& samples)
{
    constexpr quint32 rate = 44100;
    constexpr quint16 channels = 1, bits = 16;
    constexpr quint16 blockAlign = channels * bits / 8;
    const quint32 dataBytes = static_cast<quint32>(samples.size()) * blockAlign;

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVE", 4);
    out.writeRawData("fmt ", 4);
    out << quint32(16) << quint16(1) << channels << rate << quint32(rate * blockAlign) << blockAlign << bits;
    out.writeRawData("data", 4);
    out << dataBytes;
    for (qint16 s : samples)
        out << s;
    return out.status() == QDataStream::Ok && file.flush();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTextStream err(stderr);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args.at(1) == QLatin1String("--app-icon"))
        return writeAppIcons(QDir(args.at(3)), args.at(2), args.mid(4));
    if (args.size() != 2) {
        err << "usage: draw_resources OUTPUT_DIR\n"
               "       draw_resources --app-icon NAME OUTPUT_DIR SIZE...\n";
        return 2;
    }
    const QDir dir(args.at(1));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        err << "cannot create " << dir.path() << "\n";
        return 1;
    }

    // Pictures shown at up to their own size get a copy at twice it,
    // "NAME@2x.png", which Qt takes instead on a screen of pixel ratio above
    // 1. The large ones are only shown as icons of 18 pixels or less, 36 on
    // such a screen, which their one file covers already.
    struct Image
    {
        const char* name;
        int width, height;
        int largestScale;
        std::function<QImage(int scale)> draw;
    };
    const auto once = [](QImage (*draw)()) { return [draw](int) { return draw(); }; };
    const Image images[] = {
        {"Clock", 81, 81, 2, [](int scale) { return drawClock(81 * scale); }},
        {"GoldBell", 17, 17, 2, drawGoldBell},
        {"horloge_modern", 58, 58, 2, drawModernFace},
        {"new", 256, 256, 1, once(drawNew)},
        {"delete", 194, 221, 1, once(drawDelete)},
        {"play", 22, 28, 2, drawPlay},
        {"pause", 26, 28, 2, drawPause},
        {"stop", 28, 28, 2, drawStop},
        {"Disk", 128, 128, 1, once(drawDisk)},
        {"export", 256, 256, 1, once(drawExport)},
    };

    int failures = 0;
    for (const Image& img : images) {
        for (int scale = 1; scale <= img.largestScale; ++scale) {
            const QImage image = img.draw(scale);
            const QString suffix =
                scale == 1 ? QStringLiteral(".png") : QStringLiteral("@%1x.png").arg(scale);
            const QString path = dir.filePath(QString::fromLatin1(img.name) + suffix);
            const QSize size(img.width * scale, img.height * scale);
            if (image.size() != size || !image.hasAlphaChannel() || !image.save(path, "PNG")) {
                err << "failed to write " << path << "\n";
                ++failures;
                continue;
            }
            out << path << "  " << size.width() << "x" << size.height() << "  " << QFileInfo(path).size()
                << " bytes\n";
        }
    }

    const QString wav = dir.filePath(QStringLiteral("ding.wav"));
    if (writeWav(wav, synthesiseChime())) {
        out << wav << "  " << QFileInfo(wav).size() << " bytes\n";
    } else {
        err << "failed to write " << wav << "\n";
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
