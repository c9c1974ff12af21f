#include "app/clockface.h"

#include <QtGui>
#include <QtTest>

#include <algorithm>

using Points = QList<QPoint>;
using Colours = QList<QRgb>;

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const Colours kQuarters{qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(255, 255, 0), qRgb(0, 255, 255)};

// Less than a pixel from the hand drawn from the centre to `tip`.
bool onHand(QPointF p, QPointF tip)
{
    const QPointF centre(29, 29), d = tip - centre;
    const double t = std::clamp(QPointF::dotProduct(p - centre, d) / QPointF::dotProduct(d, d), 0.0, 1.0);
    return QLineF(p, centre + t * d).length() < 0.99;
}

// PNG of `size` in the four kQuarters: top left, top right, bottom left,
// bottom right.
QByteArray quarters(QSize size)
{
    QImage image(2, 2, QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i)
        image.setPixel(i % 2, i / 2, kQuarters[i]);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.scaled(size).save(&png, "PNG");
    return png.data();
}

} // namespace

class TestClockFace : public QObject
{
    Q_OBJECT

private slots:
    void handsPointAtTheTime_data();
    void handsPointAtTheTime();
    void faceImage_data();
    void faceImage();

private:
    QTemporaryDir m_dir;
};

void TestClockFace::handsPointAtTheTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<Points>("tips"); // hour, minute and, when it is on, second hand

    QTest::addRow("00:00:00 all up") << QTime(0, 0, 0) << Points{{29, 18}, {29, 15}, {29, 15}};
    QTest::addRow("15:59:59 hour hand still exactly at 3")
        << QTime(15, 59, 59) << Points{{40, 29}, {28, 15}, {28, 15}};
    QTest::addRow("hour 6") << QTime(6, 0, 0) << Points{{29, 40}, {29, 15}};
    QTest::addRow("hour 9, no second hand when off") << QTime(21, 0, 30) << Points{{18, 29}, {29, 15}};
    QTest::addRow("minute 25, second 40") << QTime(0, 25, 40) << Points{{29, 18}, {36, 41}, {17, 36}};
    QTest::addRow("minute 40") << QTime(0, 40, 0) << Points{{29, 18}, {17, 36}};
}

void TestClockFace::handsPointAtTheTime()
{
    QFETCH(QTime, time);
    QFETCH(Points, tips);
    const bool secondHand = tips.size() == 3;

    // On the built-in face, in the thinnest line that still shows.
    const QImage image =
        drawClockFace(QString(), Qt::red, 0, secondHand, time.hour(), time.minute(), time.second()).toImage();
    for (const QPoint& tip : tips)
        QCOMPARE(image.pixel(tip), kRed);
    // No red a whole pixel off every hand: none too long, turned or extra.
    const auto onAHand = [&](QPoint p) {
        return std::any_of(tips.begin(), tips.end(), [&](QPoint tip) { return onHand(p, tip); });
    };
    for (int y = 0; y < 58; ++y)
        for (int x = 0; x < 58; ++x)
            QVERIFY2(image.pixel(x, y) != kRed || onAHand(QPoint(x, y)),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void TestClockFace::faceImage_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Colours>("corners"); // at (10,10), (47,10), (10,47), (47,47)

    QTest::addRow("missing file falls back to the built-in face")
        << QByteArray() << Colours{0xff434d5b, 0xff434d5b, 0xff242b35, 0xff242b35};
    QTest::addRow("small, tall image stretched") << quarters(QSize(10, 40)) << kQuarters;
    QTest::addRow("undecodable file leaves a clean neutral face")
        << QByteArray("\x89PNG but not really") << Colours{kWhite, kWhite, kWhite, kWhite};
}

void TestClockFace::faceImage()
{
    QFETCH(QByteArray, file);
    QFETCH(Colours, corners);

    QFile out(m_dir.filePath(QString::fromUtf8(QTest::currentDataTag())));
    QVERIFY(file.isNull() || (out.open(QIODevice::WriteOnly) && out.write(file) == file.size()));
    out.close();
    const QImage image = drawClockFace(out.fileName(), Qt::red, 3, true, 0, 0, 0).toImage();
    QCOMPARE(image.size(), QSize(58, 58));
    QCOMPARE((Colours{image.pixel(10, 10), image.pixel(47, 10), image.pixel(10, 47), image.pixel(47, 47)}),
             corners);
    // Hands of width 3 over it.
    QCOMPARE(image.pixel(28, 22), kRed);
    QCOMPARE(image.pixel(30, 22), kRed);
}

QTEST_MAIN(TestClockFace)
#include "testclockface.moc"
