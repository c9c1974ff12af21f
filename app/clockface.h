#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QTime>

// Side of the square face, in logical pixels. On a screen of pixel ratio r
// it is drawn on round(58 r) device pixels: 116 at 2, 87 at 1.5.
inline constexpr int kClockFaceSize = 58;

class QPainter;
class QPoint;

// The hands' colour the settings ask for, opaque. A hand-edited conf.ini may
// hold anything; each component is held to 0-255.
QColor configuredHandColour();

// The analog face for a screen of `devicePixelRatio`: the image at
// `imagePath` (a file or a ":/" resource; the built-in face when it does not
// exist) stretched to the face size from its own pixels, with the hour and
// minute hands, and the second hand when `secondHand` is set, drawn over it
// in `handColour`, always opaque. A `handWidth` of 0 (or less) draws the
// thinnest line the screen has, not an invisible one. The hour hand moves
// only on the hour.
QPixmap drawClockFace(const QString& imagePath, const QColor& handColour, int handWidth, bool secondHand,
                      int hour, int minute, int second, qreal devicePixelRatio);

// Everything the main window's face shows: the settings that draw it and the
// time its hands tell (the second -1 without a second hand). Two equal looks
// paint the same face.
struct ClockFaceLook
{
    QString image;
    QColor hands;
    int handWidth = 0;
    bool secondHand = false;
    int hour = -1;
    int minute = -1;
    int second = -1;

    bool operator==(const ClockFaceLook& other) const;
    // Whether the two differ at most in the second hand.
    bool sameUnderSecondHand(const ClockFaceLook& other) const;
};

// The look the settings give the face at `time`.
ClockFaceLook configuredFaceLook(QTime time);
// The face of `look` painted with `painter`, its top left corner at `at`,
// over what is there already as a picture would be, at the pixel density of
// the painter's device.
void paintClockFace(QPainter& painter, const QPoint& at, const ClockFaceLook& look);
// The same in two layers: everything but the second hand, which changes once
// a minute, and the second hand over it.
void paintFaceUnderSecondHand(QPainter& painter, const QPoint& at, const ClockFaceLook& look);
void paintSecondHand(QPainter& painter, const QPoint& at, const ClockFaceLook& look);
