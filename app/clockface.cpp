#include "app/clockface.h"

#include "app/configuration.h"
#include "app/datafiles.h"

#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace {

const QString kBuiltInFace = QStringLiteral(":/ressources/horloge_modern.png");

// Shows through when the image exists but cannot be decoded, so the hands
// still stand on a clean face.
constexpr QRgb kNeutralFace = qRgb(255, 255, 255);

constexpr double kFullTurn = 6.283185307179586;
constexpr double kHourHandLength = 11.0;
constexpr double kMinuteHandLength = 14.0;
constexpr double kSecondHandLength = 14.0;

int deviceSide(qreal devicePixelRatio)
{
    return qRound(kClockFaceSize * devicePixelRatio);
}

// Scaled from the file's own pixels to the screen's, so that a large image
// keeps its detail on a dense screen; on such a screen "NAME@2x.png" beside
// the file is read instead when there is one, as Qt does for icons.
QImage loadFaceBackground(const QString& file, qreal devicePixelRatio)
{
    const int side = deviceSide(devicePixelRatio);
    QImage face(side, side, QImage::Format_ARGB32_Premultiplied);
    face.fill(kNeutralFace);
    QImage image;
    if (image.load(qt_findAtNxFile(file, devicePixelRatio)))
        face = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                   .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    face.setDevicePixelRatio(devicePixelRatio);
    return face;
}

// The face is drawn every second over the same image: it is looked up, read
// and scaled only when the configured image or the screen's density
// changes, so that a tick does no file access at all.
const QImage& faceBackground(const QString& imagePath, qreal devicePixelRatio)
{
    static QString lastPath;
    static qreal lastRatio = 0;
    static QImage lastImage;
    if (lastImage.isNull() || lastPath != imagePath || lastRatio != devicePixelRatio) {
        const QString located = locateDataFile(imagePath);
        lastImage =
            loadFaceBackground(QFileInfo(located).isFile() ? located : kBuiltInFace, devicePixelRatio);
        lastPath = imagePath;
        lastRatio = devicePixelRatio;
    }
    return lastImage;
}

// The face is laid on whole device pixels, its corner on the one nearest
// `at`: its image is then copied pixel for pixel, and its hands stand on the
// same pixels of it wherever it is painted, at any pixel ratio.
class DevicePixels
{
public:
    DevicePixels(const QPainter& painter, const QPoint& at)
        : ratio(painter.device()->devicePixelRatio())
        , m_toDevice(painter.deviceTransform())
        , m_toLogical(m_toDevice.inverted())
    {
        const QPointF onDevice = m_toDevice.map(QPointF(at));
        corner = QPoint(qRound(onDevice.x()), qRound(onDevice.y()));
    }

    // The point the painter maps onto `onDevice`. The raster engine lays
    // lines on the device in fixed point, truncated: at a fractional ratio,
    // mapped back and forth, a point may fall short of its pixel by a
    // rounding error, and a line then steps on other pixels than the same
    // line drawn elsewhere. Such a point is moved on to the first that does
    // not; the error is in the last bits, and a mirrored painter, which no
    // step brings closer, takes no more than a few.
    QPointF toLogical(const QPoint& onDevice) const
    {
        QPointF logical = m_toLogical.map(QPointF(onDevice));
        for (int step = 0; step < 4 && m_toDevice.map(logical).x() < onDevice.x(); ++step)
            logical.rx() = std::nextafter(logical.x(), qInf());
        for (int step = 0; step < 4 && m_toDevice.map(logical).y() < onDevice.y(); ++step)
            logical.ry() = std::nextafter(logical.y(), qInf());
        return logical;
    }

    const qreal ratio;
    QPoint corner;

private:
    const QTransform m_toDevice;
    const QTransform m_toLogical;
};

// 0 points up and angles turn clockwise; y grows downwards on screen.
// A hand starts on the device pixel that holds the face's centre (at a
// ratio of 1 or 2, where the centre falls between four pixels, the one
// right of it and below), and ends the hand's length times the pixel ratio
// from there, rounded to a device pixel. At 1 these are the face's points as
// they always were; at 2 a hand on an axis ends where the 1x one does,
// doubled, and the others lean as finely as the screen allows.
void drawHand(QPainter& painter, const DevicePixels& face, double length, double angle)
{
    const int half = int(std::floor(kClockFaceSize / 2.0 * face.ratio));
    const QPoint from = face.corner + QPoint(half, half);
    const QPoint to = from
        + QPoint(int(std::lround(face.ratio * length * std::sin(angle))),
                 -int(std::lround(face.ratio * length * std::cos(angle))));
    painter.drawLine(face.toLogical(from), face.toLogical(to));
}

QPen handPen(const ClockFaceLook& look)
{
    QColor opaque = look.hands;
    opaque.setAlpha(255);
    return QPen(opaque, std::max(look.handWidth, 0), Qt::SolidLine, Qt::RoundCap);
}

int colourComponent(int value)
{
    return qBound(0, value, 255);
}

} // namespace

QColor configuredHandColour()
{
    const Configuration& c = g_configuration;
    return QColor(colourComponent(c.horloge_pen_r), colourComponent(c.horloge_pen_v),
                  colourComponent(c.horloge_pen_b));
}

QPixmap drawClockFace(const QString& imagePath, const QColor& handColour, int handWidth, bool secondHand,
                      int hour, int minute, int second, qreal devicePixelRatio)
{
    QImage face(deviceSide(devicePixelRatio), deviceSide(devicePixelRatio),
                QImage::Format_ARGB32_Premultiplied);
    face.setDevicePixelRatio(devicePixelRatio);
    face.fill(Qt::transparent);
    QPainter painter(&face);
    paintClockFace(painter, QPoint(0, 0),
                   ClockFaceLook{imagePath, handColour, handWidth, secondHand, hour, minute, second});
    painter.end();
    return QPixmap::fromImage(std::move(face));
}

bool ClockFaceLook::operator==(const ClockFaceLook& other) const
{
    return sameUnderSecondHand(other) && secondHand == other.secondHand && second == other.second;
}

ClockFaceLook configuredFaceLook(QTime time)
{
    const Configuration& c = g_configuration;
    const bool secondHand = c.horloge_aiguille_seconde;
    return {c.horloge_image, configuredHandColour(),         c.horloge_pen_size, secondHand, time.hour(),
            time.minute(),   secondHand ? time.second() : -1};
}

void paintClockFace(QPainter& painter, const QPoint& at, const ClockFaceLook& look)
{
    paintFaceUnderSecondHand(painter, at, look);
    paintSecondHand(painter, at, look);
}

void paintFaceUnderSecondHand(QPainter& painter, const QPoint& at, const ClockFaceLook& look)
{
    const DevicePixels face(painter, at);
    painter.drawImage(face.toLogical(face.corner), faceBackground(look.image, face.ratio));
    painter.setPen(handPen(look));
    drawHand(painter, face, kHourHandLength, kFullTurn * (look.hour % 12) / 12.0);
    drawHand(painter, face, kMinuteHandLength, kFullTurn * look.minute / 60.0);
}

void paintSecondHand(QPainter& painter, const QPoint& at, const ClockFaceLook& look)
{
    if (!look.secondHand)
        return;
    painter.setPen(handPen(look));
    drawHand(painter, DevicePixels(painter, at), kSecondHandLength,
             kFullTurn * std::max(look.second, 0) / 60.0);
}

bool ClockFaceLook::sameUnderSecondHand(const ClockFaceLook& other) const
{
    return std::tie(image, hands, handWidth, hour, minute)
        == std::tie(other.image, other.hands, other.handWidth, other.hour, other.minute);
}
