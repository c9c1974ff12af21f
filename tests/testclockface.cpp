#include "app/clockface.h"

#include <QtGui>
#include <QtTest>

#include <algorithm>
#include <cmath>

using Points = QList<QPoint>;
using Colours = QList<QRgb>;

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

// Less than `reach` from the hand drawn from `centre` to `tip`.
bool onHand(QPointF p, QPointF centre, QPointF tip, double reach)
{
    const QPointF d = tip - centre;
    const double t = std::clamp(QPointF::dotProduct(p - centre, d) / QPointF::dotProduct(d, d), 0.0, 1.0);
    return QLineF(p, centre + t * d).length() < reach;
}

} // namespace

class TestClockFace : public QObject
{
    Q_OBJECT

private slots:
    void face_data();
    void face();

private:
    QTemporaryDir m_dir;
};

void TestClockFace::face_data()
{
    // Drawn for a screen of pixel ratio `ratio` on `side` device pixels. The
    // pixels that must be red, in device pixels, are the hands' tips, and
    // those beside a wide hand; the corners are the first device pixel of
    // (10,10) and the last of (47,47).
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("secondHand");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("image");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<int>("side");
    QTest::addColumn<Points>("red");
    QTest::addColumn<Colours>("corners");

    // A missing file gives the built-in face.
    const QString none = m_dir.filePath("missing.png");
    const Colours builtIn{0xff434d5b, 0xff242b35}, builtIn2x{0xff424c5a, 0xff232a34};
    QImage tall(10, 40, QImage::Format_RGB32);
    tall.fill(kGreen);
    QVERIFY(tall.save(m_dir.filePath("tall.png")));
    // Qt reads a file named so as one of twice the density.
    QVERIFY(tall.save(m_dir.filePath("tall@2x.png")));
    // Green and blue columns, one device pixel each at a ratio of 2.
    QImage stripes(116, 116, QImage::Format_RGB32);
    for (int x = 0; x < 116; ++x)
        for (int y = 0; y < 116; ++y)
            stripes.setPixel(x, y, x % 2 ? kBlue : kGreen);
    QVERIFY(stripes.save(m_dir.filePath("stripes.png")));

    // clang-format off
    QTest::addRow("00:00:00 all up, the thinnest hands still drawn")
        << QTime(0, 0, 0) << true << 0 << none << 1.0 << 58 << Points{{29, 18}, {29, 15}} << builtIn;
    QTest::addRow("hour 9, no second hand when off")
        << QTime(21, 0, 30) << false << 0 << none << 1.0 << 58 << Points{{18, 29}, {29, 15}} << builtIn;
    QTest::addRow("minute 25, second 40")
        << QTime(0, 25, 40) << true << 0 << none << 1.0 << 58 << Points{{29, 18}, {36, 41}, {17, 36}} << builtIn;
    QTest::addRow("a small, tall image stretched; wide hands")
        << QTime(0, 0, 0) << true << 3 << m_dir.filePath("tall.png") << 1.0 << 58 << Points{{29, 15}, {28, 22}, {30, 22}}
        << Colours{kGreen, kGreen};
    QTest::addRow("an image named @2x still fills the face")
        << QTime(0, 0, 0) << false << 0 << m_dir.filePath("tall@2x.png") << 1.0 << 58 << Points{{29, 18}, {29, 15}}
        << Colours{kGreen, kGreen};
    QTest::addRow("an undecodable file leaves a clean neutral face")
        << QTime(0, 0, 0) << true << 3 << QStringLiteral(__FILE__) << 1.0 << 58
        << Points{{29, 15}, {28, 22}, {30, 22}}
        << Colours{qRgb(255, 255, 255), qRgb(255, 255, 255)};
    QTest::addRow("at 2, 15:59:59: the hour hand still exactly at 3, the minute hand finer than the 1x one doubled")
        << QTime(15, 59, 59) << false << 0 << none << 2.0 << 116 << Points{{80, 58}, {55, 30}} << builtIn2x;
    QTest::addRow("at 2, every pixel of a 116-pixel image; the hands end where the 1x ones do, doubled, one pixel thin")
        << QTime(0, 0, 0) << false << 0 << m_dir.filePath("stripes.png") << 2.0 << 116
        << Points{{58, 36}, {58, 30}} << Colours{kGreen, kBlue};
    QTest::addRow("at 1.5, 87 pixels and the hands from the middle one")
        << QTime(0, 0, 0) << true << 0 << none << 1.5 << 87 << Points{{43, 26}, {43, 22}} << builtIn2x;
    // clang-format on
}

void TestClockFace::face()
{
    QFETCH(QTime, time);
    QFETCH(bool, secondHand);
    QFETCH(int, width);
    QFETCH(QString, image);
    QFETCH(double, ratio);
    QFETCH(int, side);
    QFETCH(Points, red);
    const QImage face =
        drawClockFace(image, Qt::red, width, secondHand, time.hour(), time.minute(), time.second(), ratio)
            .toImage();
    QCOMPARE(face.size(), QSize(side, side));
    QCOMPARE(face.devicePixelRatio(), ratio);
    const QPoint first = (QPointF(10, 10) * ratio).toPoint(), last = (QPointF(48, 48) * ratio).toPoint();
    QTEST((Colours{face.pixel(first), face.pixel(last - QPoint(1, 1))}), "corners");
    for (const QPoint& p : red)
        QCOMPARE(face.pixel(p), kRed);
    // No red beyond the hands: none too long, too wide, turned or extra.
    const QPointF centre(std::floor(29 * ratio), std::floor(29 * ratio));
    const auto onAHand = [&](QPoint p) {
        return std::any_of(red.begin(), red.end(),
                           [&](QPoint tip) { return onHand(p, centre, tip, 0.99 + width * ratio / 2); });
    };
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            QVERIFY2(face.pixel(x, y) != kRed || onAHand(QPoint(x, y)),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

QTEST_MAIN(TestClockFace)
#include "testclockface.moc"
