#include "app/clockface.h"

#include <QtGui>
#include <QtTest>

#include <algorithm>

using Points = QList<QPoint>;
using Colours = QList<QRgb>;

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);

// Less than `reach` from the hand drawn from the centre to `tip`.
bool onHand(QPointF p, QPointF tip, double reach)
{
    const QPointF centre(29, 29), d = tip - centre;
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
    // The pixels that must be red are the hands' tips, and those beside a
    // wide hand; the corners are at (10,10) and (47,47).
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("secondHand");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("image");
    QTest::addColumn<Points>("red");
    QTest::addColumn<Colours>("corners");

    // A missing file gives the built-in face.
    const QString none = m_dir.filePath("missing.png");
    const Colours builtIn{0xff434d5b, 0xff242b35};
    QImage tall(10, 40, QImage::Format_RGB32);
    tall.fill(kGreen);
    QVERIFY(tall.save(m_dir.filePath("tall.png")));

    // clang-format off
    QTest::addRow("00:00:00 all up, the thinnest hands still drawn")
        << QTime(0, 0, 0) << true << 0 << none << Points{{29, 18}, {29, 15}} << builtIn;
    QTest::addRow("15:59:59 hour hand still exactly at 3")
        << QTime(15, 59, 59) << true << 0 << none << Points{{40, 29}, {28, 15}} << builtIn;
    QTest::addRow("hour 6") << QTime(6, 0, 0) << false << 0 << none << Points{{29, 40}, {29, 15}} << builtIn;
    QTest::addRow("hour 9, no second hand when off")
        << QTime(21, 0, 30) << false << 0 << none << Points{{18, 29}, {29, 15}} << builtIn;
    QTest::addRow("minute 25, second 40")
        << QTime(0, 25, 40) << true << 0 << none << Points{{29, 18}, {36, 41}, {17, 36}} << builtIn;
    QTest::addRow("minute 40") << QTime(0, 40, 0) << false << 0 << none << Points{{29, 18}, {17, 36}} << builtIn;
    QTest::addRow("a small, tall image stretched; wide hands")
        << QTime(0, 0, 0) << true << 3 << m_dir.filePath("tall.png") << Points{{29, 15}, {28, 22}, {30, 22}}
        << Colours{kGreen, kGreen};
    QTest::addRow("an undecodable file leaves a clean neutral face")
        << QTime(0, 0, 0) << true << 3 << QStringLiteral(__FILE__) << Points{{29, 15}, {28, 22}, {30, 22}}
        << Colours{qRgb(255, 255, 255), qRgb(255, 255, 255)};
    // clang-format on
}

void TestClockFace::face()
{
    QFETCH(QTime, time);
    QFETCH(bool, secondHand);
    QFETCH(int, width);
    QFETCH(QString, image);
    QFETCH(Points, red);
    const QImage face =
        drawClockFace(image, Qt::red, width, secondHand, time.hour(), time.minute(), time.second()).toImage();
    QCOMPARE(face.size(), QSize(58, 58));
    QTEST((Colours{face.pixel(10, 10), face.pixel(47, 47)}), "corners");
    for (const QPoint& p : red)
        QCOMPARE(face.pixel(p), kRed);
    // No red beyond the hands: none too long, turned or extra.
    const auto onAHand = [&](QPoint p) {
        return std::any_of(red.begin(), red.end(),
                           [&](QPoint tip) { return onHand(p, tip, 0.99 + width / 2.0); });
    };
    for (int y = 0; y < 58; ++y)
        for (int x = 0; x < 58; ++x)
            QVERIFY2(face.pixel(x, y) != kRed || onAHand(QPoint(x, y)),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

QTEST_MAIN(TestClockFace)
#include "testclockface.moc"
