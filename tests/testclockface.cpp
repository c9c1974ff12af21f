#include "mainwindow/clockface.h"

#include <QFile>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using Segments = QList<QLineF>;

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QPointF kCentre(29, 29);

QLineF hand(int tipX, int tipY)
{
    return QLineF(kCentre, QPointF(tipX, tipY));
}

double distanceToSegment(const QPointF& p, const QLineF& segment)
{
    const QPointF d = segment.p2() - segment.p1();
    const double lengthSquared = QPointF::dotProduct(d, d);
    const double t = std::clamp(QPointF::dotProduct(p - segment.p1(), d) / lengthSquared, 0.0, 1.0);
    return QLineF(p, segment.p1() + t * d).length();
}

// Pixels drawn in `colour` that lie a whole pixel or more off every expected
// hand: a hand too long, turned the wrong way or drawn when it should not be.
QList<QPoint> strayPixels(const QImage& face, QRgb colour, const Segments& hands)
{
    QList<QPoint> stray;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            if (face.pixel(x, y) != colour)
                continue;
            const bool onAHand = std::any_of(hands.begin(), hands.end(), [&](const QLineF& h) {
                return distanceToSegment(QPointF(x, y), h) < 0.99;
            });
            if (!onAHand)
                stray.append(QPoint(x, y));
        }
    }
    return stray;
}

QImage solidImage(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestClockFace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void handsPointAtTheTime_data();
    void handsPointAtTheTime();
    void penWidth();
    void handColourIsAlwaysOpaque();
    void missingImageFallsBackToTheBuiltInFace_data();
    void missingImageFallsBackToTheBuiltInFace();
    void anyImageIsStretchedToTheFace_data();
    void anyImageIsStretchedToTheFace();
    void formatIsTakenFromTheContent();
    void undecodableImageLeavesACleanFace();

private:
    QImage face(int h, int m, int s, bool secondHand = true, int width = 0,
                const QColor& colour = QColor(255, 0, 0)) const;

    QTemporaryDir m_dir;
    QString m_white;
};

void TestClockFace::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_white = m_dir.filePath(QStringLiteral("white.png"));
    QVERIFY(solidImage(QSize(58, 58), kWhite).save(m_white));
}

QImage TestClockFace::face(int h, int m, int s, bool secondHand, int width, const QColor& colour) const
{
    return drawClockFace(m_white, colour, width, secondHand, h, m, s).toImage();
}

void TestClockFace::handsPointAtTheTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("secondHand");
    QTest::addColumn<Segments>("hands");

    const QLineF up11 = hand(29, 18);
    const QLineF up14 = hand(29, 15);
    QTest::addRow("00:00:00 all hands straight up") << QTime(0, 0, 0) << true << Segments{up11, up14, up14};
    QTest::addRow("12:00:00 all hands straight up") << QTime(12, 0, 0) << true << Segments{up11, up14, up14};
    QTest::addRow("15:59:59 hour hand still exactly at 3")
        << QTime(15, 59, 59) << true << Segments{hand(40, 29), hand(28, 15), hand(28, 15)};
    QTest::addRow("hour 3") << QTime(3, 0, 0) << false << Segments{hand(40, 29), up14};
    QTest::addRow("hour 6") << QTime(6, 0, 0) << false << Segments{hand(29, 40), up14};
    QTest::addRow("hour 9") << QTime(21, 0, 0) << false << Segments{hand(18, 29), up14};
    QTest::addRow("minute 15") << QTime(0, 15, 0) << false << Segments{up11, hand(43, 29)};
    QTest::addRow("minute 25") << QTime(0, 25, 0) << false << Segments{up11, hand(36, 41)};
    QTest::addRow("minute 40") << QTime(0, 40, 0) << false << Segments{up11, hand(17, 36)};
    QTest::addRow("second 25") << QTime(0, 0, 25) << true << Segments{up11, up14, hand(36, 41)};
    QTest::addRow("second 40") << QTime(0, 0, 40) << true << Segments{up11, up14, hand(17, 36)};
    QTest::addRow("preview time 0:25:40")
        << QTime(0, 25, 40) << true << Segments{up11, hand(36, 41), hand(17, 36)};
    QTest::addRow("no second hand when it is off, whatever the second")
        << QTime(0, 0, 30) << false << Segments{up11, up14};
}

void TestClockFace::handsPointAtTheTime()
{
    QFETCH(QTime, time);
    QFETCH(bool, secondHand);
    QFETCH(Segments, hands);

    const QImage image = face(time.hour(), time.minute(), time.second(), secondHand);
    QCOMPARE(image.size(), QSize(58, 58));
    QCOMPARE(image.pixel(29, 29), kRed);
    for (const QLineF& h : hands)
        QCOMPARE(image.pixel(h.p2().toPoint()), kRed);
    QCOMPARE(strayPixels(image, kRed, hands), QList<QPoint>());
}

void TestClockFace::penWidth()
{
    // A pen of width 0 is the thinnest line, not an invisible one.
    const QImage thinnest = face(0, 0, 0, true, 0);
    QCOMPARE(thinnest.pixel(29, 22), kRed);
    QCOMPARE(thinnest.pixel(28, 22), kWhite);
    QCOMPARE(thinnest.pixel(30, 22), kWhite);

    const QImage thick = face(0, 0, 0, true, 3);
    QCOMPARE(thick.pixel(28, 22), kRed);
    QCOMPARE(thick.pixel(29, 22), kRed);
    QCOMPARE(thick.pixel(30, 22), kRed);
}

void TestClockFace::handColourIsAlwaysOpaque()
{
    const QImage image = face(0, 0, 0, true, 0, QColor(0, 0, 255, 0));
    QCOMPARE(image.pixel(29, 22), qRgb(0, 0, 255));
}

void TestClockFace::missingImageFallsBackToTheBuiltInFace_data()
{
    QTest::addColumn<QString>("path");
    QTest::addRow("no such file") << QStringLiteral("/nonexistent/face.png");
    QTest::addRow("empty setting") << QString();
}

void TestClockFace::missingImageFallsBackToTheBuiltInFace()
{
    QFETCH(QString, path);
    const QImage builtIn = QImage(QStringLiteral(":/ressources/horloge_modern.png"))
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(builtIn.size(), QSize(58, 58));

    const QImage image = drawClockFace(path, Qt::red, 0, true, 0, 0, 0).toImage();
    // Everywhere the hands cannot reach, the built-in picture shows unchanged.
    for (int y = 0; y < 58; ++y) {
        for (int x = 0; x < 58; ++x) {
            if (QLineF(kCentre, QPointF(x, y)).length() > 15.5)
                QCOMPARE(image.pixel(x, y), builtIn.pixel(x, y));
        }
    }
}

void TestClockFace::anyImageIsStretchedToTheFace_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addRow("small and tall") << QSize(10, 40);
    QTest::addRow("large and wide") << QSize(300, 120);
    QTest::addRow("one pixel") << QSize(1, 1);
}

void TestClockFace::anyImageIsStretchedToTheFace()
{
    QFETCH(QSize, size);
    // Four quarters of four colours: after stretching each fills its corner.
    QImage quarters(size, QImage::Format_RGB32);
    const QRgb topLeft = qRgb(0, 128, 0), topRight = qRgb(0, 0, 255);
    const QRgb bottomLeft = qRgb(255, 255, 0), bottomRight = qRgb(0, 255, 255);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool right = x >= (size.width() + 1) / 2, bottom = y >= (size.height() + 1) / 2;
            quarters.setPixel(x, y, bottom ? (right ? bottomRight : bottomLeft) : (right ? topRight : topLeft));
        }
    }
    const QString path = m_dir.filePath(QStringLiteral("quarters.png"));
    QVERIFY(quarters.save(path));

    const QImage image = drawClockFace(path, Qt::red, 0, true, 0, 0, 0).toImage();
    QCOMPARE(image.size(), QSize(58, 58));
    QCOMPARE(image.pixel(1, 1), topLeft);
    if (size.width() > 1) {
        QCOMPARE(image.pixel(56, 1), topRight);
        QCOMPARE(image.pixel(1, 56), bottomLeft);
        QCOMPARE(image.pixel(56, 56), bottomRight);
    } else {
        QCOMPARE(image.pixel(56, 56), topLeft);
    }
    // Stretched without smoothing: no blend of two quarters anywhere.
    const QList<QRgb> colours{topLeft, topRight, bottomLeft, bottomRight};
    for (int y = 0; y < 58; ++y) {
        for (int x = 0; x < 58; ++x) {
            if (QLineF(kCentre, QPointF(x, y)).length() > 15.5)
                QVERIFY2(colours.contains(image.pixel(x, y)), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    }
}

void TestClockFace::formatIsTakenFromTheContent()
{
    const QString path = m_dir.filePath(QStringLiteral("face.dat"));
    QVERIFY(solidImage(QSize(20, 20), qRgb(0, 0, 128)).save(path, "PNG"));
    const QImage image = drawClockFace(path, Qt::red, 0, true, 0, 0, 0).toImage();
    QCOMPARE(image.pixel(2, 2), qRgb(0, 0, 128));
}

void TestClockFace::undecodableImageLeavesACleanFace()
{
    const QString path = m_dir.filePath(QStringLiteral("broken.png"));
    QFile broken(path);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG but not really an image");
    broken.close();

    const QImage image = drawClockFace(path, Qt::red, 0, true, 3, 0, 0).toImage();
    QCOMPARE(image.size(), QSize(58, 58));
    QCOMPARE(image.pixel(0, 0), kWhite);
    QCOMPARE(image.pixel(57, 57), kWhite);
    QCOMPARE(image.pixel(29, 45), kWhite);
    QCOMPARE(image.pixel(40, 29), kRed);
    QCOMPARE(image.pixel(29, 15), kRed);
}

QTEST_MAIN(TestClockFace)
#include "testclockface.moc"
