#include "app/clockface.h"

#include "app/configuration.h"
#include "app/datafiles.h"

#include <QFileInfo>
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

QImage loadFaceBackground(const QString& file)
{
    QImage face(kClockFaceSize, kClockFaceSize, QImage::Format_ARGB32_Premultiplied);
    face.fill(kNeutralFace);
    QImage image;
    if (!image.load(file))
        return face;
    return image.scaled(kClockFaceSize, kClockFaceSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The face is drawn every second over the same image: it is looked up, read
// and scaled only when the configured image changes, so that a tick does no
// file access at all.
const QImage& faceBackground(const QString& imagePath)
{
    static QString lastPath;
    static QImage lastImage;
    if (lastImage.isNull() || lastPath != imagePath) {
        const QString located = locateDataFile(imagePath);
        lastImage = loadFaceBackground(QFileInfo(located).isFile() ? located : kBuiltInFace);
        lastPath = imagePath;
    }
    return lastImage;
}

// 0 points up and angles turn clockwise; y grows downwards on screen.
void drawHand(QPainter& painter, QPoint centre, double length, double angle)
{
    const int dx = int(std::lround(length * std::sin(angle)));
    const int dy = int(std::lround(length * std::cos(angle)));
    painter.drawLine(centre, QPoint(centre.x() + dx, centre.y() - dy));
}

QPoint faceCentre(const QPoint& at)
{
    return at + QPoint(kClockFaceSize / 2, kClockFaceSize / 2);
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
                      int hour, int minute, int second)
{
    QImage face(kClockFaceSize, kClockFaceSize, QImage::Format_ARGB32_Premultiplied);
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
    painter.drawImage(at, faceBackground(look.image));
    painter.setPen(handPen(look));
    drawHand(painter, faceCentre(at), kHourHandLength, kFullTurn * (look.hour % 12) / 12.0);
    drawHand(painter, faceCentre(at), kMinuteHandLength, kFullTurn * look.minute / 60.0);
}

void paintSecondHand(QPainter& painter, const QPoint& at, const ClockFaceLook& look)
{
    if (!look.secondHand)
        return;
    painter.setPen(handPen(look));
    drawHand(painter, faceCentre(at), kSecondHandLength, kFullTurn * std::max(look.second, 0) / 60.0);
}

bool ClockFaceLook::sameUnderSecondHand(const ClockFaceLook& other) const
{
    return std::tie(image, hands, handWidth, hour, minute)
        == std::tie(other.image, other.hands, other.handWidth, other.hour, other.minute);
}
