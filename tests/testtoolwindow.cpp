// What every tool shares: its window, seen through the stopwatches, whose
// "&Nouveau" adds a page at once, and the array in which its items live in
// conf.ini from one run to the next.

#include "app/configuration.h"
#include "app/pictures.h"
#include "app/windowgestures.h"
#include "support/testday.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"
#include "tools/stopwatches/fenetrechronometres.h"

#include <QtTest>
#include <QtWidgets>

class TestToolWindow : public QObject
{
    Q_OBJECT

private slots:
    void tabsAndLooks_data();
    void tabsAndLooks();
    void storedItemsReplacedAtTheEnd_data();
    void storedItemsReplacedAtTheEnd();
    void picturesLookAsTheirFiles();
};

void TestToolWindow::tabsAndLooks_data()
{
    // Stopwatches stored in conf.ini, their pages put off as the main window
    // puts them off; then the steps: n and d = "&Nouveau" and "&Supprimer",
    // N and Q = Ctrl+N and Ctrl+Q, a digit = choose that tab, s and S = show
    // the window with the framed flags, S staying on top, as the main window
    // sets them after its preferences, D = double click. Seen: the flags
    // after each double click, then the tabs built and the current one.
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("seen");

    QTest::addRow("deleting n°2 of three then creating gives n°1, n°3, n°4, with the keys too")
        << 0 << "snnN1Qn" << QStringList{"Chrono n°1", "Chrono n°3", "Chrono n°4", "Chrono n°4"};
    QTest::addRow("deleting every tab, and once more on none, does not restart the numbering")
        << 0 << "nndddn" << QStringList{"Chrono n°3", "Chrono n°3"};
    QTest::addRow("frameless, framed with the close button; staying on top in both looks once asked")
        << 0 << "sDDSDD" << QStringList{"801", "8007001", "40801", "8047001", ""};
    QTest::addRow("stored pages wait, and the window's form with them") << 2 << "" << QStringList{"no form"};
    QTest::addRow("stored pages are built when shown, numbered first, the last current")
        << 2 << "s" << QStringList{"Chrono n°1", "Chrono n°2", "Chrono n°2"};
    QTest::addRow("a new page comes after the stored ones")
        << 2 << "n" << QStringList{"Chrono n°1", "Chrono n°2", "Chrono n°3", "Chrono n°3"};
    QTest::addRow("removing builds them first") << 2 << "d" << QStringList{"Chrono n°1", "Chrono n°1"};
}

void TestToolWindow::tabsAndLooks()
{
    QFETCH(int, stored);
    QFETCH(QString, steps);
    TestDay day(QStringLiteral("10:00:00.000"));
    QVERIFY(day.conf.write("[stopwatch]\nsize=" + QByteArray::number(stored) + "\n1\\s=1\n2\\s=2\n"));

    FenetreChronometres window(nullptr, ToolWindow::StoredPages::Later);
    // Made with the window's form, at its first showing or page.
    const auto tabs = [&window] { return window.findChild<QTabWidget*>(); };
    QStringList seen;
    for (const QChar step : steps) {
        if (step.toLower() == 's') {
            window.setWindowFlags(framedWindowFlags(step == 'S'));
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        } else if (step == 'D') {
            QTest::mouseDClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
            seen << (window.isVisible() ? QString::number(int(window.windowFlags()), 16) : "hidden");
        } else if (step == 'n') {
            window.openDialog();
        } else if (step == 'd') {
            window.remove();
        } else if (step.isDigit()) {
            tabs()->setCurrentIndex(step.digitValue());
        } else {
            QTest::keyClick(&window, Qt::Key(step.unicode()), Qt::ControlModifier);
        }
    }
    if (!tabs()) {
        QTEST(seen << "no form", "seen");
        return;
    }
    for (int i = 0; i < tabs()->count(); ++i)
        seen << tabs()->tabText(i);
    QTEST(seen << tabs()->tabText(tabs()->currentIndex()), "seen");
}

void TestToolWindow::storedItemsReplacedAtTheEnd_data()
{
    // The size each tool's array claims, whether the tools' switches are on
    // at the end of the run, and what each array holds then.
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QStringList>("saved");

    QTest::addRow("the entries there, numbered again, whatever the size says")
        << QByteArray("2000000000") << true
        << QStringList{"alarm: Un|Quatre", "timer: Un|Quatre", "pasttime: Un|Quatre", "stopwatch: Un|Quatre"};
    QTest::addRow("removed when the switch is off, but for the stopwatches of the last run that kept them")
        << QByteArray("4") << false
        << QStringList{"alarm removed", "timer removed", "pasttime removed", "stopwatch: Un|||Quatre"};
}

void TestToolWindow::storedItemsReplacedAtTheEnd()
{
    QFETCH(QByteArray, size);
    QFETCH(bool, keep);
    const QStringList arrays{"alarm", "timer", "pasttime", "stopwatch"};
    TestDay day(QStringLiteral("10:00:00.003"));
    // "01" is no name that an array writes.
    QByteArray stored;
    for (const QString& array : arrays)
        stored += '[' + array.toLatin1() + "]\n01\\title=Zero\n1\\date=2027-01-01T00:00:00\n1\\title=Un\n"
            + "4\\date=2027-02-01T00:00:00\n4\\title=Quatre\nsize=" + size + '\n';
    QVERIFY(day.conf.write(stored));
    {
        // Their pages put off, as the main window makes them: at the end
        // the items are stored as they were read.
        constexpr auto later = ToolWindow::StoredPages::Later;
        const FenetreAlarmes alarms(nullptr, later);
        const FenetreComptesARebours countdowns(nullptr, later);
        const FenetreTempsEcoules counters(nullptr, later);
        const FenetreChronometres stopwatches(nullptr, later);
        Configuration& c = g_configuration;
        c.sauvegarde_alarmes = c.sauvegarde_car = c.sauvegarde_te = c.sauvegarde_chronos = keep;
    }
    const auto file = day.conf.read();
    QStringList saved;
    for (const QString& array : arrays) {
        QStringList titles;
        for (int i = 1; i <= file->value(array + "/size").toInt(); ++i)
            titles << file->value(QStringLiteral("%1/%2/title").arg(array).arg(i)).toString();
        saved << (file->childGroups().contains(array) ? array + ": " + titles.join('|') : array + " removed");
    }
    QTEST(saved, "saved");
    // Nothing is left of a replaced array.
    QCOMPARE(file->allKeys().filter("/01/").size(), keep ? 0 : 1);
}

void TestToolWindow::picturesLookAsTheirFiles()
{
    // Read when first drawn, a picture must still come out as its file
    // would, whatever the pixel density and the state asked for (the desktop
    // test sees them on a dense screen), and a picture that is not there is
    // no picture.
    QVERIFY(picture(QStringLiteral(":/ressources/absente.png")).isNull());
    const QString name = QStringLiteral(":/ressources/Clock.png");
    for (const qreal ratio : {1.0, 2.0}) {
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
            const QPixmap expected = QIcon(name).pixmap(QSize(24, 18), ratio, mode);
            const QPixmap seen = picture(name).pixmap(QSize(24, 18), ratio, mode);
            QVERIFY2(seen.toImage() == expected.toImage()
                         && seen.devicePixelRatio() == expected.devicePixelRatio(),
                     qPrintable(QStringLiteral("at %1x, mode %2").arg(ratio).arg(mode)));
        }
    }
}

QTEST_MAIN(TestToolWindow)
#include "testtoolwindow.moc"
