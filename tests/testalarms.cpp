#include "app/configuration.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "support/manualclock.h"
#include "support/temporaryconfiguration.h"
#include "support/uidriver.h"
#include "support/urlrecorder.h"
#include "tools/alarms/fenetrealarmes.h"
#include "tools/alert.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <utility>

class TestAlarms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ringing_data();
    void ringing();
    void alertsOfOneMinute();
    void load_data();
    void load();
    void saveReplacesTheStoredArray_data();
    void saveReplacesTheStoredArray();
    void failedSaveIsReported();
    void longTextsAreCut();
    void armedStateFollowsTheRadioButtons();

private:
    void tick(const QString& time);

    ManualClock m_clock{QDateTime()};
    std::unique_ptr<TemporaryConfiguration> m_conf;
    std::unique_ptr<UrlRecorder> m_files;
    QStringList m_balloons;
};

void TestAlarms::init()
{
    m_conf = std::make_unique<TemporaryConfiguration>();
    m_files = std::make_unique<UrlRecorder>(QStringList{QStringLiteral("file")});
    m_balloons.clear();
    setTrayMessageSink([this](const TrayMessage& m) {
        const bool usual = m.icone == QSystemTrayIcon::Information && m.duree == 10000;
        m_balloons << m.titre + QStringLiteral(": ") + m.texte + (usual ? "" : " (other icon or duration)");
    });
    m_clock.setCurrentDateTime(onTestDay(QStringLiteral("07:29:58.000")));
    g_jtime = new JTime;
}

void TestAlarms::cleanup()
{
    delete std::exchange(g_jtime, nullptr);
    m_files.reset();
    m_conf.reset();
}

void TestAlarms::tick(const QString& time)
{
    m_clock.setCurrentDateTime(onTestDay(time));
    g_jtime->check();
}

void TestAlarms::ringing_data()
{
    // The page of a 07:30 alarm is made after the first check.
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<int>("alerts");

    QTest::addRow("once in its minute, also when second 0 is skipped")
        << QStringList{"07:29:58.000", "07:29:59.998", "07:30:01.004",
                       "07:30:02.004", "07:30:59.004", "07:31:00.004"}
        << 1;
    QTest::addRow("not at 08:30, again the next day")
        << QStringList{"07:29:58.000", "07:30:00.003", "07:31:00.003", "08:30:00.003", "+07:30:00.003"} << 2;
    QTest::addRow("made in its minute: at once, not again that minute, again the next day")
        << QStringList{"07:30:20.000", "07:30:21.003", "07:31:00.003", "+07:30:00.003"} << 2;
}

void TestAlarms::ringing()
{
    QFETCH(QStringList, times);
    QFETCH(int, alerts);

    tick(times.takeFirst());
    FenetreAlarmes window(nullptr);
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Réveil"), QStringLiteral("Debout"), false, {}});
    for (const QString& time : times)
        tick(time);
    QCOMPARE(m_balloons, QStringList(alerts, QStringLiteral("Réveil: Debout")));
}

void TestAlarms::alertsOfOneMinute()
{
    const QString file = QCoreApplication::applicationFilePath();
    const QString other = m_conf->path();
    QVERIFY(m_conf->write(""));
    FenetreAlarmes window(nullptr);
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Sans exec"), QStringLiteral("Un"), false, file});
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Supprimé"), QStringLiteral("Jamais"), false, {}});
    window.newAlarm(Alarme{7, 30, false, QStringLiteral("Non"), QStringLiteral("Jamais"), false, {}});
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Exec"), QStringLiteral("Deux"), true, file});
    window.newAlarm(
        Alarme{7, 30, true, QStringLiteral("Disparu"), QStringLiteral("Trois"), true, file + ".parti"});
    window.newAlarm(Alarme{7, 30, true, QStringLiteral("Muet"), QString(), true, other});
    toolTabs(window)->setCurrentIndex(1);
    QVERIFY(triggerToolAction(window, "&Supprimer"));
    tick(QStringLiteral("07:30:00.003"));

    // In creation order; an empty message shows no balloon, and a file is
    // opened only with execute and while it exists.
    QCOMPARE(m_balloons, (QStringList{"Sans exec: Un", "Exec: Deux", "Disparu: Trois"}));
    QCOMPARE(m_files->opened, (QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(other)}));
}

void TestAlarms::load_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QStringList>("pages");

    QTest::addRow("stored order, numbered from 1")
        << QByteArray("[alarm]\n1\\h=7\n1\\m=30\n2\\h=12\n2\\m=5\nsize=2\n")
        << QStringList{u8"Alarme n°1 07:30", u8"Alarme n°2 12:05"};
    QTest::addRow("size=2000000000 loads only the entries there")
        << QByteArray("[alarm]\n2\\h=7\n2\\m=30\n4\\h=8\n4\\m=45\nsize=2000000000\n")
        << QStringList{u8"Alarme n°1 07:30", u8"Alarme n°2 08:45"};
    QTest::addRow("negative size") << QByteArray("[alarm]\n1\\h=7\nsize=-3\n") << QStringList{};
    QTest::addRow("size that is no number")
        << QByteArray("[alarm]\n1\\h=7\nsize=beaucoup\n") << QStringList{};
    QTest::addRow("binary garbage") << QByteArray("\x00\xff\xfe[alarm\n=\\\\\n\x01size", 20) << QStringList{};
}

void TestAlarms::load()
{
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, pages);
    QVERIFY(m_conf->write(contents));
    QElapsedTimer timer;
    timer.start();
    FenetreAlarmes window(nullptr);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QStringList shown;
    QTabWidget* tabs = toolTabs(window);
    for (int i = 0; i < tabs->count(); ++i)
        shown << tabs->tabText(i) + ' ' + tabs->widget(i)->findChild<QLabel*>("m_label_heure")->text();
    QCOMPARE(shown, pages);
    QCOMPARE(tabs->currentIndex(), pages.size() - 1);
    // Killed now, the program would find its alarms at the next start.
    QCOMPARE(m_conf->contents(), contents);
}

void TestAlarms::saveReplacesTheStoredArray_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QStringList>("titles");

    QTest::addRow("renumbered, nothing left of the longer array")
        << true << 1 << QStringList{"Deux", "Trois"};
    QTest::addRow("no alarm: size 0") << true << 3 << QStringList{};
    QTest::addRow("switch off: no [alarm] group") << false << 1 << QStringList{};
}

void TestAlarms::saveReplacesTheStoredArray()
{
    QFETCH(bool, save);
    QFETCH(int, deleted);
    QFETCH(QStringList, titles);

    QVERIFY(
        m_conf->write("[alarm]\n1\\title=Un\n2\\title=Deux\n3\\title=Trois\nsize=3\n[sonnerie]\ntype=2\n"));
    {
        FenetreAlarmes window(nullptr);
        toolTabs(window)->setCurrentIndex(0);
        for (int i = 0; i < deleted; ++i)
            QVERIFY(triggerToolAction(window, "&Supprimer"));
        g_configuration.sauvegarde_alarmes = save;
    }
    QCOMPARE(m_conf->contents().contains("[alarm]"), save);
    const auto file = m_conf->read();
    QCOMPARE(file->value("sonnerie/type").toString(), QStringLiteral("2"));
    file->beginGroup(QStringLiteral("alarm"));
    QStringList stored;
    for (const QString& entry : file->childGroups())
        stored << file->value(entry + "/title").toString();
    QCOMPARE(stored, titles);
    QCOMPARE(file->value("size").toString(), save ? QString::number(titles.size()) : QString());
}

void TestAlarms::failedSaveIsReported()
{
    setConfigurationFilePath(QStringLiteral("/dev/null/conf.ini"));
    QTest::ignoreMessage(QtWarningMsg,
                         "Clepsa : impossible d'enregistrer les réglages dans /dev/null/conf.ini");
    FenetreAlarmes window(nullptr);
}

void TestAlarms::longTextsAreCut()
{
    {
        FenetreAlarmes window(nullptr);
        QVERIFY(answerNextDialog(
            [&] { QVERIFY(triggerToolAction(window, "&Nouveau")); },
            [](QDialog& dialog) {
                dialog.findChild<QLineEdit*>("m_lineedit_titre")
                    ->setText(QStringLiteral("Rendez-vous dentiste"));
                dialog.findChild<QLineEdit*>("m_lineedit_alerte")
                    ->setText(QStringLiteral(
                        "Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Bon🚆!"));
                QTest::mouseClick(dialog.findChild<QPushButton*>("bouton_ok"), Qt::LeftButton);
            }));
    }
    // 15 and 70 characters; the train takes two UTF-16 units and stays whole.
    const auto file = m_conf->read();
    QCOMPARE(file->value("alarm/1/title").toString(), QStringLiteral("Rendez-vous den"));
    QCOMPARE(file->value("alarm/1/message").toString(),
             QStringLiteral("Prendre le train de 8h12 pour Lyon, voie 4, voiture 12, place 45. Bon🚆"));
}

void TestAlarms::armedStateFollowsTheRadioButtons()
{
    QVERIFY(
        m_conf->write("[alarm]\n1\\h=7\n1\\m=30\n1\\title=Sport\n1\\message=Go\n1\\active=false\nsize=1\n"));
    {
        FenetreAlarmes window(nullptr);
        window.show();
        QWidget* page = toolTabs(window)->widget(0);
        QVERIFY(page);
        const auto* bell = page->findChild<QLabel*>("m_cloche");
        QVERIFY(!window.hasActiveAlarm() && !bell->isVisible());

        QTest::mouseClick(page->findChild<QRadioButton*>("m_radio_active_oui"), Qt::LeftButton);
        QVERIFY(window.hasActiveAlarm() && bell->isVisible());
        tick(QStringLiteral("07:30:00.003"));
        QCOMPARE(m_balloons, QStringList{"Sport: Go"});
    }
    QCOMPARE(m_conf->read()->value("alarm/1/active").toString(), QStringLiteral("true"));
}

QTEST_MAIN(TestAlarms)
#include "testalarms.moc"
