#include "app/clock.h"
#include "app/configuration.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "support/temporaryconfiguration.h"
#include "support/toolwindowdriver.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/alarms/widgetalarme.h"
#include "tools/alert.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

// Everything an alert does, in the order it happened: "balloon TITLE: TEXT"
// and "open PATH".
class AlertRecorder : public QObject
{
    Q_OBJECT
public:
    QStringList events;
    QList<TrayMessage> balloons;

    void balloon(const TrayMessage& message)
    {
        balloons.append(message);
        events.append(QStringLiteral("balloon %1: %2").arg(message.titre, message.texte));
    }
public slots:
    void open(const QUrl& url) { events.append(QStringLiteral("open ") + url.toLocalFile()); }
};

class TestAlarms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ringsInItsMinute_data();
    void ringsInItsMinute();
    void nonStopsRingingAndPutsTheBellOut();
    void deletedAlarmNeverRings();
    void alarmsOfOneMinuteAlertInCreationOrder();
    void alertSteps_data();
    void alertSteps();

    void loadKeepsOrderNumbersAndTheFile();
    void storedAlarmDueNowRingsAtStart();
    void saveFollowsTheSwitch_data();
    void saveFollowsTheSwitch();
    void noAlarmSavesSizeZero();
    void deletingRenumbersTheEntries();
    void longTextsAreCut_data();
    void longTextsAreCut();
    void armedStateRoundTrips_data();
    void armedStateRoundTrips();
    void damagedArraysLoadSafely_data();
    void damagedArraysLoadSafely();

private:
    void startAt(const QString& dateTime);
    void tick(const QString& dateTime);

    std::unique_ptr<TemporaryConfiguration> m_conf;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<ScopedClock> m_scopedClock;
    AlertRecorder m_alerts;
};

static QDateTime at(const QString& dateTime)
{
    return QDateTime::fromString(dateTime, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

static Alarme alarm(int h, int m, const QString& title, const QString& message, bool active = true)
{
    return Alarme{h, m, active, title, message, false, QString()};
}

static QWidget* page(QWidget& window, int index)
{
    return toolTabs(window)->widget(index);
}

static QString pageText(QWidget& window, int index, const char* label)
{
    return page(window, index)->findChild<QLabel*>(QLatin1String(label))->text();
}

static QStringList pageTimes(QWidget& window)
{
    QStringList times;
    for (int i = 0; i < toolTabs(window)->count(); ++i)
        times << pageText(window, i, "m_label_heure");
    return times;
}

// Runs "&Nouveau" and, once the modal dialog is up, lets `fill` set it and
// presses "OK".
static void createThroughDialog(QWidget& window, const std::function<void(QDialog&)>& fill = {})
{
    QTimer::singleShot(0, &window, [fill] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        if (fill)
            fill(*dialog);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("bouton_ok")), Qt::LeftButton);
    });
    triggerToolAction(window, QStringLiteral("&Nouveau"));
}

static void setField(QDialog& dialog, const char* name, const QString& text)
{
    dialog.findChild<QLineEdit*>(QLatin1String(name))->setText(text);
}

void TestAlarms::init()
{
    m_conf = std::make_unique<TemporaryConfiguration>();
    m_clock = std::make_unique<ManualClock>();
    m_scopedClock = std::make_unique<ScopedClock>(m_clock.get());
    startAt(QStringLiteral("2026-12-05 09:00:10.000"));
    m_alerts.events.clear();
    m_alerts.balloons.clear();
    setTrayMessageSink([this](const TrayMessage& message) { m_alerts.balloon(message); });
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_alerts, "open");
}

void TestAlarms::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    setTrayMessageSink({});
    delete g_jtime;
    g_jtime = nullptr;
    m_scopedClock.reset();
    m_clock.reset();
    m_conf.reset();
}

// The tick source as the program starts it: its first check is at `dateTime`.
void TestAlarms::startAt(const QString& dateTime)
{
    delete g_jtime;
    m_clock->setCurrentDateTime(at(dateTime));
    g_jtime = new JTime;
}

void TestAlarms::tick(const QString& dateTime)
{
    m_clock->setCurrentDateTime(at(dateTime));
    g_jtime->check();
}

void TestAlarms::ringsInItsMinute_data()
{
    // An alarm for 07:30 whose page is made at `createdAt`.
    QTest::addColumn<QString>("createdAt");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<QStringList>("checks");
    QTest::addColumn<int>("alerts");

    QTest::addRow("rings once in its minute")
        << "2026-12-05 07:29:58.000" << true
        << QStringList{"2026-12-05 07:29:59.000", "2026-12-05 07:30:00.003", "2026-12-05 07:30:01.003",
                       "2026-12-05 07:30:59.003", "2026-12-05 07:31:00.003"} << 1;
    QTest::addRow("a skipped second 0 still rings")
        << "2026-12-05 07:29:58.000" << true
        << QStringList{"2026-12-05 07:29:59.998", "2026-12-05 07:30:01.004", "2026-12-05 07:30:02.004"} << 1;
    QTest::addRow("rings again the next day, never at 07:31")
        << "2026-12-05 07:29:58.000" << true
        << QStringList{"2026-12-05 07:30:00.003", "2026-12-05 07:31:00.003", "2026-12-06 07:29:59.003",
                       "2026-12-06 07:30:00.003", "2026-12-06 07:31:00.003"} << 2;
    QTest::addRow("Non checked never rings")
        << "2026-12-05 07:29:58.000" << false
        << QStringList{"2026-12-05 07:30:00.003", "2026-12-06 07:30:00.003"} << 0;
    QTest::addRow("a page made in its minute rings at once")
        << "2026-12-05 07:30:20.000" << true << QStringList{} << 1;
    QTest::addRow("made in its minute: once then, and again the next day")
        << "2026-12-05 07:30:20.000" << true
        << QStringList{"2026-12-05 07:30:21.003", "2026-12-05 07:31:00.003", "2026-12-06 07:30:00.003"} << 2;
    QTest::addRow("made at second 0 of its minute rings once")
        << "2026-12-05 07:30:00.100" << true
        << QStringList{"2026-12-05 07:30:00.900", "2026-12-05 07:30:01.003"} << 1;
}

void TestAlarms::ringsInItsMinute()
{
    QFETCH(QString, createdAt);
    QFETCH(bool, armed);
    QFETCH(QStringList, checks);
    QFETCH(int, alerts);

    startAt(createdAt);
    FenetreAlarmes window(nullptr);
    window.newAlarm(alarm(7, 30, QStringLiteral("Réveil"), QStringLiteral("Debout"), armed));
    for (const QString& check : checks)
        tick(check);

    QCOMPARE(m_alerts.events, QStringList(alerts, QStringLiteral("balloon Réveil: Debout")));
}

void TestAlarms::nonStopsRingingAndPutsTheBellOut()
{
    startAt(QStringLiteral("2026-12-05 07:29:58.000"));
    FenetreAlarmes window(nullptr);
    QVERIFY(!window.hasActiveAlarm());
    window.newAlarm(alarm(7, 30, QStringLiteral("Réveil"), QStringLiteral("Debout")));
    window.show();
    auto* bell = page(window, 0)->findChild<QLabel*>(QStringLiteral("m_cloche"));
    QVERIFY(bell->isVisible());
    QVERIFY(window.hasActiveAlarm());

    QTest::mouseClick(page(window, 0)->findChild<QRadioButton*>(QStringLiteral("m_radio_active_non")),
                      Qt::LeftButton);
    QVERIFY(!bell->isVisible());
    QVERIFY(!window.hasActiveAlarm());
    tick(QStringLiteral("2026-12-05 07:30:00.003"));
    QCOMPARE(m_alerts.events, QStringList());

    QTest::mouseClick(page(window, 0)->findChild<QRadioButton*>(QStringLiteral("m_radio_active_oui")),
                      Qt::LeftButton);
    QVERIFY(bell->isVisible());
    QVERIFY(window.hasActiveAlarm());
    tick(QStringLiteral("2026-12-06 07:30:00.003"));
    QCOMPARE(m_alerts.events, QStringList{"balloon Réveil: Debout"});
}

void TestAlarms::deletedAlarmNeverRings()
{
    startAt(QStringLiteral("2026-12-05 07:29:58.000"));
    FenetreAlarmes window(nullptr);
    window.newAlarm(alarm(7, 30, QStringLiteral("Premier"), QStringLiteral("Un")));
    window.newAlarm(alarm(7, 30, QStringLiteral("Second"), QStringLiteral("Deux")));
    toolTabs(window)->setCurrentIndex(0);
    triggerToolAction(window, QStringLiteral("&Supprimer"));

    tick(QStringLiteral("2026-12-05 07:30:00.003"));
    QCOMPARE(m_alerts.events, QStringList{"balloon Second: Deux"});
}

void TestAlarms::alarmsOfOneMinuteAlertInCreationOrder()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("musique.ogg"));
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));

    startAt(QStringLiteral("2026-12-05 07:29:58.000"));
    FenetreAlarmes window(nullptr);
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Premier"), QStringLiteral("Un"), true, file});
    window.newAlarm(alarm(7, 31, QStringLiteral("Autre minute"), QStringLiteral("Non")));
    window.newAlarm(alarm(7, 30, QStringLiteral("Second"), QStringLiteral("Deux")));
    toolTabs(window)->setCurrentIndex(0);

    tick(QStringLiteral("2026-12-05 07:30:00.003"));
    // Each alert whole, balloon then file, before the next one starts.
    QCOMPARE(m_alerts.events,
             (QStringList{"balloon Premier: Un", "open " + file, "balloon Second: Deux"}));
}

void TestAlarms::alertSteps_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("execute");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("events");

    const QStringList balloon{"balloon Réveil: Debout"};
    QTest::addRow("a message gives one balloon")
        << "Debout" << false << "" << balloon;
    QTest::addRow("an empty message gives no balloon, whatever the title")
        << "" << false << "" << QStringList{};
    QTest::addRow("execute with an existing file: the balloon, then the file")
        << "Debout" << true << "note.txt" << (balloon + QStringList{"open FILE"});
    QTest::addRow("execute with a file since deleted: the balloon only")
        << "Debout" << true << "parti.txt" << balloon;
    QTest::addRow("execute with no file chosen: the balloon only")
        << "Debout" << true << "" << balloon;
    QTest::addRow("a valid file without execute is not opened")
        << "Debout" << false << "note.txt" << balloon;
    QTest::addRow("empty message and an existing file: the file only")
        << "" << true << "note.txt" << QStringList{"open FILE"};
}

void TestAlarms::alertSteps()
{
    QFETCH(QString, message);
    QFETCH(bool, execute);
    QFETCH(QString, file);
    QFETCH(QStringList, events);

    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath(QStringLiteral("note.txt"))).open(QIODevice::WriteOnly));
    const QString path = file.isEmpty() ? QString() : dir.filePath(file);
    events.replaceInStrings(QStringLiteral("FILE"), path);

    startAt(QStringLiteral("2026-12-05 07:29:58.000"));
    FenetreAlarmes window(nullptr);
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Réveil"), message, execute, path});
    tick(QStringLiteral("2026-12-05 07:30:00.003"));

    QCOMPARE(m_alerts.events, events);
    for (const TrayMessage& balloon : std::as_const(m_alerts.balloons)) {
        QCOMPARE(balloon.icone, QSystemTrayIcon::Information);
        QCOMPARE(balloon.duree, 10000);
    }
}

static const QByteArray kTwoAlarms = "[alarm]\n"
                                     "1\\h=7\n1\\m=30\n1\\active=true\n1\\title=R\xc3\xa9veil\n"
                                     "1\\message=Debout\n1\\execute=false\n1\\file=\n"
                                     "2\\h=12\n2\\m=5\n2\\active=false\n2\\title=D\xc3\xa9jeuner\n"
                                     "2\\message=\n2\\execute=false\n2\\file=\n"
                                     "size=2\n";

void TestAlarms::loadKeepsOrderNumbersAndTheFile()
{
    m_conf->write(kTwoAlarms);
    FenetreAlarmes window(nullptr);

    QCOMPARE(toolTabLabels(window), (QStringList{u8"Alarme n°1", u8"Alarme n°2"}));
    QCOMPARE(toolTabs(window)->currentIndex(), 1);
    QCOMPARE(pageTimes(window), (QStringList{"07:30", "12:05"}));
    QCOMPARE(pageText(window, 0, "m_label_titre"), QStringLiteral("Réveil"));
    QCOMPARE(pageText(window, 1, "m_label_titre"), QStringLiteral("Déjeuner"));
    QVERIFY(window.hasActiveAlarm());
    QCOMPARE(m_alerts.events, QStringList());
    // Killed now, the program would find its alarms at the next start.
    QCOMPARE(m_conf->contents(), kTwoAlarms);
}

void TestAlarms::storedAlarmDueNowRingsAtStart()
{
    m_conf->write(kTwoAlarms);
    startAt(QStringLiteral("2026-12-05 07:30:20.000"));
    FenetreAlarmes window(nullptr);
    QCOMPARE(m_alerts.events, QStringList{"balloon Réveil: Debout"});
}

void TestAlarms::saveFollowsTheSwitch_data()
{
    QTest::addColumn<bool>("save");
    QTest::addRow("switch on writes both alarms") << true;
    QTest::addRow("switch off leaves no section [alarm]") << false;
}

void TestAlarms::saveFollowsTheSwitch()
{
    QFETCH(bool, save);
    // A longer array of an earlier run, and a setting that is not ours.
    m_conf->write("[alarm]\n1\\h=1\n2\\h=2\n3\\h=3\n3\\title=Ancienne\nsize=3\n[sonnerie]\ntype=2\n");
    {
        FenetreAlarmes window(nullptr);
        triggerToolAction(window, QStringLiteral("&Supprimer"));
        triggerToolAction(window, QStringLiteral("&Supprimer"));
        triggerToolAction(window, QStringLiteral("&Supprimer"));
        createThroughDialog(window, [](QDialog& dialog) {
            setField(dialog, "m_lineedit_titre", QStringLiteral("Sport"));
            setField(dialog, "m_lineedit_alerte", QStringLiteral("Baskets"));
        });
        createThroughDialog(window);
        QCOMPARE(toolTabs(window)->count(), 2);
        g_configuration.sauvegarde_alarmes = save;
    }

    const auto file = m_conf->read();
    QCOMPARE(file->value("sonnerie/type").toString(), QStringLiteral("2"));
    if (!save) {
        QVERIFY(!m_conf->contents().contains("[alarm]"));
        return;
    }
    file->beginGroup(QStringLiteral("alarm"));
    QCOMPARE(file->childKeys(), QStringList{"size"});
    QCOMPARE(file->value("size").toString(), QStringLiteral("2"));
    QCOMPARE(file->childGroups(), (QStringList{"1", "2"}));
    QCOMPARE(file->value("1/title").toString(), QStringLiteral("Sport"));
    QCOMPARE(file->value("1/message").toString(), QStringLiteral("Baskets"));
    // The dialog kept what the first use left in it.
    QCOMPARE(file->value("2/title").toString(), QStringLiteral("Sport"));
    QCOMPARE(file->value("2/message").toString(), QStringLiteral("Baskets"));
    QCOMPARE(file->value("2/active").toString(), QStringLiteral("true"));
    QVERIFY(m_conf->contents().contains("[alarm]\n1\\active=true\n"));
    QVERIFY(m_conf->contents().contains("\n1\\h=0\n1\\m=0\n"));
}

void TestAlarms::noAlarmSavesSizeZero()
{
    { FenetreAlarmes window(nullptr); }
    const auto file = m_conf->read();
    file->beginGroup(QStringLiteral("alarm"));
    QCOMPARE(file->allKeys(), QStringList{"size"});
    QCOMPARE(file->value("size").toString(), QStringLiteral("0"));
}

void TestAlarms::deletingRenumbersTheEntries()
{
    m_conf->write("[alarm]\n1\\title=Un\n2\\title=Deux\n3\\title=Trois\nsize=3\n");
    {
        FenetreAlarmes window(nullptr);
        toolTabs(window)->setCurrentIndex(0);
        triggerToolAction(window, QStringLiteral("&Supprimer"));
    }
    const auto file = m_conf->read();
    QCOMPARE(file->value("alarm/size").toString(), QStringLiteral("2"));
    QCOMPARE(file->value("alarm/1/title").toString(), QStringLiteral("Deux"));
    QCOMPARE(file->value("alarm/2/title").toString(), QStringLiteral("Trois"));
    QVERIFY(!file->contains("alarm/3/title"));
}

void TestAlarms::longTextsAreCut_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("keptTitle");
    QTest::addColumn<QString>("keptMessage");

    QTest::addRow("a 20-character title keeps its first 15")
        << "Rendez-vous dentiste" << "Court" << "Rendez-vous den" << "Court";
    QTest::addRow("a 71-character message keeps its first 70")
        << "Train" << "Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Merci"
        << "Train" << "Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Merc";
    QTest::addRow("15 characters stay whole")
        << "Quinze lettres!" << "Court" << "Quinze lettres!" << "Court";
    QTest::addRow("a character outside the basic plane is not split")
        << u8"Anniversaire 🎂🎉!" << "Court" << u8"Anniversaire 🎂🎉" << "Court";
}

void TestAlarms::longTextsAreCut()
{
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, keptTitle);
    QFETCH(QString, keptMessage);

    // The dialog starts at 00:00, so the new alarm is due at once.
    startAt(QStringLiteral("2026-12-05 00:00:30.000"));
    {
        FenetreAlarmes window(nullptr);
        createThroughDialog(window, [&](QDialog& dialog) {
            setField(dialog, "m_lineedit_titre", title);
            setField(dialog, "m_lineedit_alerte", message);
        });
        QCOMPARE(pageText(window, 0, "m_label_titre"), keptTitle);
    }
    QCOMPARE(m_alerts.events, QStringList{"balloon " + keptTitle + ": " + keptMessage});
    const auto file = m_conf->read();
    QCOMPARE(file->value("alarm/1/title").toString(), keptTitle);
    QCOMPARE(file->value("alarm/1/message").toString(), keptMessage);
}

void TestAlarms::armedStateRoundTrips_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("saved");

    QTest::addRow("Oui stored, Non chosen: Non is kept") << true << "m_radio_active_non" << "false";
    QTest::addRow("Non stored, Oui chosen: Oui is kept") << false << "m_radio_active_oui" << "true";
    QTest::addRow("Non stored and left alone stays Non") << false << "" << "false";
}

void TestAlarms::armedStateRoundTrips()
{
    QFETCH(bool, stored);
    QFETCH(QString, clicked);
    QFETCH(QString, saved);

    m_conf->write(QByteArray("[alarm]\n1\\h=7\n1\\m=30\n1\\active=") + (stored ? "true" : "false")
                  + "\n1\\title=Sport\nsize=1\n");
    {
        FenetreAlarmes window(nullptr);
        window.show();
        QCOMPARE(window.hasActiveAlarm(), stored);
        QCOMPARE(page(window, 0)->findChild<QLabel*>(QStringLiteral("m_cloche"))->isVisible(), stored);
        if (!clicked.isEmpty())
            QTest::mouseClick(page(window, 0)->findChild<QRadioButton*>(clicked), Qt::LeftButton);
    }
    QCOMPARE(m_conf->read()->value("alarm/1/active").toString(), saved);
}

void TestAlarms::damagedArraysLoadSafely_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QStringList>("times");

    QTest::addRow("size=2000000000 loads the two entries there")
        << QByteArray("[alarm]\n1\\h=7\n1\\m=30\n2\\h=8\n2\\m=45\nsize=2000000000\n")
        << QStringList{"07:30", "08:45"};
    QTest::addRow("a huge entry number under a huge size")
        << QByteArray("[alarm]\n2000000000\\h=6\nsize=2000000000\n") << QStringList{"06:00"};
    QTest::addRow("a negative size loads nothing")
        << QByteArray("[alarm]\n1\\h=7\nsize=-3\n") << QStringList{};
    QTest::addRow("a size that is no number loads nothing")
        << QByteArray("[alarm]\n1\\h=7\nsize=beaucoup\n") << QStringList{};
    QTest::addRow("entries missing under the size are skipped")
        << QByteArray("[alarm]\n2\\h=7\n4\\h=9\nsize=5\n") << QStringList{"07:00", "09:00"};
    QTest::addRow("entries past the size are ignored")
        << QByteArray("[alarm]\n1\\h=7\n2\\h=9\nsize=1\n") << QStringList{"07:00"};
    QTest::addRow("missing keys load as 00:00")
        << QByteArray("[alarm]\n1\\title=Vide\nsize=1\n") << QStringList{"00:00"};
    QTest::addRow("a hour that is no number loads as 00")
        << QByteArray("[alarm]\n1\\h=sept\n1\\m=5\nsize=1\n") << QStringList{"00:05"};
    QTest::addRow("an hour out of range shows as it is")
        << QByteArray("[alarm]\n1\\h=25\n1\\m=7\nsize=1\n") << QStringList{"25:07"};
    QTest::addRow("binary garbage loads nothing")
        << QByteArray("\x00\xff\xfe[alarm\n=\\\\\n\x01size", 20) << QStringList{};
}

void TestAlarms::damagedArraysLoadSafely()
{
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, times);
    m_conf->write(contents);

    {
        QElapsedTimer timer;
        timer.start();
        FenetreAlarmes window(nullptr);
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(pageTimes(window), times);
    }
    QCOMPARE(m_conf->read()->value("alarm/size").toInt(), times.size());
}

QTEST_MAIN(TestAlarms)
#include "testalarms.moc"
