#include "app/applicationlifetime.h"
#include "app/clock.h"
#include "app/configuration.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "mainwindow/aboutdialog.h"
#include "mainwindow/fenetreprincipale.h"
#include "mainwindow/shake.h"
#include "support/temporaryconfiguration.h"
#include "support/urlrecorder.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QRegularExpression>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <memory>

using Positions = QList<QPoint>;

namespace {

// Records every position a window passes through while it is shaken.
class MoveRecorder : public QObject
{
public:
    explicit MoveRecorder(QWidget* window) { window->installEventFilter(this); }
    Positions positions;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Move)
            positions.append(static_cast<QWidget*>(watched)->pos());
        return false;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void filledRightAfterConstruction();
    void textsOfOneTick_data();
    void textsOfOneTick();
    void showsTheTimeOfTheTickNotAFreshReading();
    void faceFollowsTheSettingsAtTheNextTick();
    void menusAndTrayMenu();
    void quitEndsTheEventLoop_data();
    void quitEndsTheEventLoop();
    void trayActivationShowsTheWindow_data();
    void trayActivationShowsTheWindow();
    void webLinks_data();
    void webLinks();
    void aboutDialogIsBuiltOnce();
    void bellFollowsTheArmedAlarms();
    void alarmWindowIsShownAndSavesItsAlarmsAtTheEnd();
    void changerLangueStoresAndTellsToRestart();

    void shakeMoves_data();
    void shakeMoves();
    void shakeWithRandomOffsetsAlternatesQuarters();
    void hiddenWindowIsShakenInPlace();

    void hourlyChime_data();
    void hourlyChime();
    void chimeWithoutSoundServerLeavesNothingBehind();

private:
    FenetrePrincipale* window() const { return m_window.get(); }
    void tickAt(const QDateTime& now);

    std::unique_ptr<TemporaryConfiguration> m_conf;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<ScopedClock> m_scopedClock;
    std::unique_ptr<FenetrePrincipale> m_window;
    QTemporaryDir m_dir;
    QString m_dingWav;
};

void TestMainWindow::initTestCase()
{
    // A machine set to English: the date line must stay French.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // No sound server, wherever the suite runs: the chime played through a
    // real one is a desktop test.
    qputenv("PULSE_SERVER", "unix:/nonexistent/clepsa-no-sound");
    QVERIFY(m_dir.isValid());
    m_dingWav = QFINDTESTDATA("../resources/ding.wav");
    QVERIFY(!m_dingWav.isEmpty());
}

void TestMainWindow::init()
{
    m_conf = std::make_unique<TemporaryConfiguration>();
    m_clock = std::make_unique<ManualClock>(QDateTime(QDate(2026, 12, 5), QTime(14, 7, 9)));
    m_scopedClock = std::make_unique<ScopedClock>(m_clock.get());
    creer_objets_globaux();
    m_window = std::make_unique<FenetrePrincipale>();
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    liberer_objets_globaux();
    m_scopedClock.reset();
    m_clock.reset();
    m_conf.reset();
}

void TestMainWindow::tickAt(const QDateTime& now)
{
    m_clock->setCurrentDateTime(now);
    g_jtime->check();
}

void TestMainWindow::filledRightAfterConstruction()
{
    QCOMPARE(window()->findChild<QLabel*>("m_heure")->text(), QStringLiteral("14:07:09"));
    QCOMPARE(window()->findChild<QLabel*>("m_date")->text(), QStringLiteral("Samedi 05 Décembre 2026"));
    QCOMPARE(window()->findChild<QLabel*>("m_horloge")->pixmap().size(), QSize(58, 58));
    QCOMPARE(g_trayIcon->toolTip(), QStringLiteral("Samedi 05 Décembre 2026 - 14:07"));
}

void TestMainWindow::textsOfOneTick_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("heure");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("trayTitle");

    QTest::addRow("Saturday in December, two-digit day padded")
        << QDateTime(QDate(2026, 12, 5), QTime(9, 3, 7)) << "09:03:07" << "Samedi 05 Décembre 2026"
        << "Samedi 05 Décembre 2026 - 09:03" << "Rivozur - 09:03:07";
    QTest::addRow("accented month, midnight")
        << QDateTime(QDate(2026, 8, 15), QTime(0, 0, 0)) << "00:00:00" << "Samedi 15 Août 2026"
        << "Samedi 15 Août 2026 - 00:00" << "Rivozur - 00:00:00";
    QTest::addRow("new year's day, last second of an hour")
        << QDateTime(QDate(2027, 1, 1), QTime(23, 59, 59)) << "23:59:59" << "Vendredi 01 Janvier 2027"
        << "Vendredi 01 Janvier 2027 - 23:59" << "Rivozur - 23:59:59";
}

void TestMainWindow::textsOfOneTick()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, heure);
    QFETCH(QString, date);
    QFETCH(QString, tooltip);
    QFETCH(QString, trayTitle);

    tickAt(now);
    QCOMPARE(window()->findChild<QLabel*>("m_heure")->text(), heure);
    QCOMPARE(window()->findChild<QLabel*>("m_date")->text(), date);
    QCOMPARE(g_trayIcon->toolTip(), tooltip);
    QCOMPARE(g_trayIcon->contextMenu()->actions().first()->text(), trayTitle);
}

void TestMainWindow::showsTheTimeOfTheTickNotAFreshReading()
{
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(3, 0, 0)));
    m_clock->setCurrentDateTime(QDateTime(QDate(2026, 12, 5), QTime(6, 30, 0)));
    window()->update_horloge();
    QCOMPARE(window()->findChild<QLabel*>("m_heure")->text(), QStringLiteral("03:00:00"));
}

void TestMainWindow::faceFollowsTheSettingsAtTheNextTick()
{
    const QString white = m_dir.filePath(QStringLiteral("white.png"));
    QImage plain(58, 58, QImage::Format_RGB32);
    plain.fill(Qt::white);
    QVERIFY(plain.save(white));

    g_configuration.horloge_image = white;
    g_configuration.horloge_pen_r = 0;
    g_configuration.horloge_pen_v = 0;
    g_configuration.horloge_pen_b = 255;
    g_configuration.horloge_aiguille_seconde = false;
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(3, 0, 30)));

    const QImage face = window()->findChild<QLabel*>("m_horloge")->pixmap().toImage();
    QCOMPARE(face.pixel(38, 29), qRgb(0, 0, 255)); // hour hand at 3
    QCOMPARE(face.pixel(29, 20), qRgb(0, 0, 255)); // minute hand at 0
    QCOMPARE(face.pixel(29, 40), qRgb(255, 255, 255)); // no second hand at 30

    // Values out of range in an edited file: the nearest colour, the
    // thinnest hands, and no complaint at every tick.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QColor|QPen")));
    g_configuration.horloge_pen_r = 300;
    g_configuration.horloge_pen_v = -4;
    g_configuration.horloge_pen_b = 0;
    g_configuration.horloge_pen_size = -3;
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(3, 0, 31)));
    const QImage clamped = window()->findChild<QLabel*>("m_horloge")->pixmap().toImage();
    QCOMPARE(clamped.pixel(29, 20), qRgb(255, 0, 0));
    QCOMPARE(clamped.pixel(28, 20), qRgb(255, 255, 255));
}

void TestMainWindow::menusAndTrayMenu()
{
    auto* plugins = window()->findChild<QMenu*>("menuPlugins");
    const QList<QAction*> entries = plugins->actions();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0]->text(), QStringLiteral("Vide..."));
    QVERIFY(!entries[0]->isEnabled());
    QCOMPARE(entries[1]->text(), QStringLiteral("Télécharger..."));

    // The tray offers the very same submenus as the menu bar.
    const QList<QAction*> tray = g_trayIcon->contextMenu()->actions();
    QCOMPARE(tray.size(), 6);
    QCOMPARE(tray[0]->font().family(), QStringLiteral("Arial"));
    QCOMPARE(tray[0]->font().weight(), QFont::DemiBold);
    QVERIFY(tray[1]->isSeparator());
    QCOMPARE(tray[2]->menu(), window()->findChild<QMenu*>("menuOutils"));
    QCOMPARE(tray[3]->menu(), plugins);
    QCOMPARE(tray[4]->menu(), window()->findChild<QMenu*>("menuConfiguration"));
    QCOMPARE(tray[5]->text(), QStringLiteral("Quitter"));
}

void TestMainWindow::quitEndsTheEventLoop_data()
{
    QTest::addColumn<bool>("fromTray");
    QTest::addRow("Fichier > Quitter") << false;
    QTest::addRow("tray menu Quitter") << true;
}

void TestMainWindow::quitEndsTheEventLoop()
{
    QFETCH(bool, fromTray);
    QAction* quit = fromTray ? g_trayIcon->contextMenu()->actions().last()
                             : window()->findChild<QAction*>("actionQuitter");
    QTimer::singleShot(0, quit, &QAction::trigger);
    // Should quitting fail, this ends the loop with another code.
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

void TestMainWindow::trayActivationShowsTheWindow_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addRow("single click") << QSystemTrayIcon::Trigger;
    QTest::addRow("double click") << QSystemTrayIcon::DoubleClick;
    QTest::addRow("middle click") << QSystemTrayIcon::MiddleClick;
    QTest::addRow("context menu request") << QSystemTrayIcon::Context;
}

void TestMainWindow::trayActivationShowsTheWindow()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QVERIFY(!window()->isVisible());
    emit g_trayIcon->activated(reason);
    QVERIFY(window()->isVisible());
}

void TestMainWindow::webLinks_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QUrl>("page");
    QTest::addRow("Aide en ligne") << "Aide en ligne" << ApplicationLifetime::homePageUrl();
    QTest::addRow("Aidez-nous") << "Aidez-nous" << ApplicationLifetime::helpUsPageUrl();
    QTest::addRow("Télécharger... of the plug-in menu") << "Télécharger..." << ApplicationLifetime::homePageUrl();
}

void TestMainWindow::webLinks()
{
    QFETCH(QString, action);
    QFETCH(QUrl, page);
    QVERIFY(ApplicationLifetime::helpUsPageUrl().toString().endsWith("index.php?page=site_aidez_nous"));
    UrlRecorder browser({page.scheme()});
    for (QAction* a : window()->findChildren<QAction*>()) {
        if (a->text() == action)
            a->trigger();
    }
    QCOMPARE(browser.opened, QList<QUrl>{page});
}

void TestMainWindow::bellFollowsTheArmedAlarms()
{
    m_window.reset();
    m_conf->write("[alarm]\n1\\h=7\n1\\m=30\n1\\active=false\n1\\title=Lever\n"
                  "2\\h=8\n2\\m=0\n2\\active=true\n2\\title=Bus\nsize=2\n");
    m_window = std::make_unique<FenetrePrincipale>();
    const QLabel* bell = window()->findChild<QLabel*>("m_cloche");
    QVERIFY(!bell->isHidden());

    // Disarming the only armed alarm puts the bell out at the next tick.
    auto* table = window()->findChild<FenetreAlarmes*>()->findChild<QTabWidget*>("_table");
    QCOMPARE(table->count(), 2);
    table->widget(1)->findChild<QRadioButton*>("m_radio_active_non")->click();
    QVERIFY(!bell->isHidden());
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(14, 7, 10)));
    QVERIFY(bell->isHidden());

    table->widget(0)->findChild<QRadioButton*>("m_radio_active_oui")->click();
    tickAt(QDateTime(QDate(2026, 12, 5), QTime(14, 7, 11)));
    QVERIFY(!bell->isHidden());
}

void TestMainWindow::alarmWindowIsShownAndSavesItsAlarmsAtTheEnd()
{
    m_window.reset();
    m_conf->write("[alarm]\n1\\h=6\n1\\m=45\n1\\active=true\n1\\title=Lever\nsize=1\n");
    m_window = std::make_unique<FenetrePrincipale>();
    auto* alarms = window()->findChild<FenetreAlarmes*>();
    QVERIFY(alarms->isHidden());
    QCOMPARE(alarms->parent(), window());

    QAction* menuEntry = window()->findChild<QAction*>("actionAlarme");
    menuEntry->trigger();
    QVERIFY(alarms->isVisible());
    alarms->close();
    menuEntry->trigger();
    QVERIFY(alarms->isVisible());
    QCOMPARE(alarms->findChild<QTabWidget*>("_table")->tabText(0), QStringLiteral("Alarme n°1"));

    alarms->findChild<QTabWidget*>("_table")->widget(0)->findChild<QRadioButton*>("m_radio_active_non")->click();
    m_window.reset();
    const auto file = m_conf->read();
    QCOMPARE(file->value("alarm/size").toInt(), 1);
    QCOMPARE(file->value("alarm/1/title").toString(), QStringLiteral("Lever"));
    QCOMPARE(file->value("alarm/1/active").toBool(), false);
}

void TestMainWindow::aboutDialogIsBuiltOnce()
{
    auto* about = window()->findChild<QAction*>("actionAPropos");
    const QList<AboutDialog*> dialogs = window()->findChildren<AboutDialog*>();
    QCOMPARE(dialogs.size(), 1);
    for (int time = 0; time < 2; ++time) {
        about->trigger();
        QCOMPARE(window()->findChildren<AboutDialog*>(), dialogs);
        QVERIFY(dialogs[0]->isVisible() && dialogs[0]->isModal());
        dialogs[0]->close();
    }
    QVERIFY(dialogs[0]->findChild<QPlainTextEdit*>("plainTextEdit")->isReadOnly());
    QVERIFY(dialogs[0]->findChild<QPlainTextEdit*>()->toPlainText().contains(QStringLiteral(CLEPSA_VERSION)));
    auto* link = dialogs[0]->findChild<QLabel*>("label_6");
    QVERIFY(link->openExternalLinks());
    QVERIFY(link->text().contains(QStringLiteral("href=\"%1\"").arg(ApplicationLifetime::homePageUrl().toString())));
}

void TestMainWindow::changerLangueStoresAndTellsToRestart()
{
    QAction english;
    english.setWhatsThis(QStringLiteral("en"));
    QString title, text;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    window()->changer_langue(&english);
    QCOMPARE(g_configuration.langue, QStringLiteral("en"));
    QCOMPARE(title, QStringLiteral("Information"));
    QCOMPARE(text, QStringLiteral("Veuillez redémarrer le programme pour que le nouveau paramètre soit pris en compte."));
}

void TestMainWindow::shakeMoves_data()
{
    QTest::addColumn<int>("intensity");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<Positions>("moves");

    QTest::addRow("0 rounds moves nothing") << 5 << 0 << Positions{};
    QTest::addRow("negative rounds move nothing") << 5 << -3 << Positions{};
    QTest::addRow("intensity 0 moves exactly 1 px, quarters alternate")
        << 0 << 3
        << Positions{{99, 201}, {100, 200}, {101, 199}, {100, 200}, {99, 201}, {100, 200}};
    QTest::addRow("negative intensity counts as 0")
        << -7 << 2 << Positions{{99, 201}, {100, 200}, {101, 199}, {100, 200}};
}

void TestMainWindow::shakeMoves()
{
    QFETCH(int, intensity);
    QFETCH(int, rounds);
    QFETCH(Positions, moves);

    QWidget target;
    target.move(100, 200);
    target.show();
    MoveRecorder recorder(&target);
    vibrer_fenetre(&target, intensity, rounds);
    QCOMPARE(recorder.positions, moves);
    QCOMPARE(target.pos(), QPoint(100, 200));
}

void TestMainWindow::shakeWithRandomOffsetsAlternatesQuarters()
{
    QWidget target;
    target.move(300, 300);
    target.show();
    MoveRecorder recorder(&target);
    vibrer_fenetre(&target, 4, 200);

    // Out to a random offset of 1 to 5 px per axis and back, alternately
    // left-and-down and right-and-up; every offset of the range turns up.
    const Positions& p = recorder.positions;
    QCOMPARE(p.size(), 400);
    QSet<int> seen;
    for (int i = 0; i < p.size(); i += 2) {
        const QPoint offset = p[i] - QPoint(300, 300);
        const QPoint quarter = (i / 2) % 2 == 0 ? QPoint(-1, 1) : QPoint(1, -1);
        const int x = offset.x() * quarter.x(), y = offset.y() * quarter.y();
        QVERIFY2(x >= 1 && x <= 5 && y >= 1 && y <= 5, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        QCOMPARE(p[i + 1], QPoint(300, 300));
        seen.insert(x);
    }
    QCOMPARE(seen.size(), 5);
}

void TestMainWindow::hiddenWindowIsShakenInPlace()
{
    QWidget target;
    target.move(40, 50);
    vibrer_fenetre(&target, 8, 50);
    QCOMPARE(target.pos(), QPoint(40, 50));
    QVERIFY(!target.isVisible());
}

void TestMainWindow::hourlyChime_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("shake");
    QTest::addColumn<bool>("moved");

    QTest::addRow("beep then shake") << 1 << true << true;
    QTest::addRow("type 0 is silent and still shakes") << 0 << true << true;
    QTest::addRow("type 3 is silent and still shakes") << 3 << true << true;
    QTest::addRow("unknown type 7 is silent") << 7 << true << true;
    QTest::addRow("no shake when vibration is off") << 0 << false << false;
    QTest::addRow("wav chime then shake") << 2 << true << true;
}

void TestMainWindow::hourlyChime()
{
    QFETCH(int, type);
    QFETCH(bool, shake);
    QFETCH(bool, moved);

    g_configuration.sonnerie_type = type;
    g_configuration.sonnerie_son = m_dingWav;
    g_configuration.sonnerie_bip_frequence = 440;
    g_configuration.sonnerie_bip_duree = 10;
    g_configuration.vibration_active = shake;
    g_configuration.vibration_intensite = 0;
    g_configuration.vibration_duree = 2;
    window()->move(120, 130);
    window()->show();
    const QPoint start = window()->pos();
    MoveRecorder recorder(window());

    tickAt(QDateTime(QDate(2026, 12, 5), QTime(15, 0, 0)));

    QCOMPARE(recorder.positions.size(), moved ? 4 : 0);
    QCOMPARE(window()->pos(), start);
}

void TestMainWindow::chimeWithoutSoundServerLeavesNothingBehind()
{
    g_configuration.sonnerie_type = 2;
    g_configuration.sonnerie_son = m_dingWav;
    window()->nouvelle_heure();
    // Nothing would ever end the sound, so no sound object may wait for it.
    QTest::qWait(500);
    QCOMPARE(window()->findChildren<QSoundEffect*>().size(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "testmainwindow.moc"
