// The built program as a user starts it: a copy in a folder of its own with
// a prepared conf.ini, on the X desktop of scripts/desktop-session, with a
// tray watcher and a notification service (support/fakedesktop.py) on a
// D-Bus session of this test's own, and a stand-in xdg-open that notes what
// it is asked to open. Everything is seen from outside the process.

#include "support/xdesktop.h"

#include <QtTest>

#include <memory>

namespace {

constexpr int kStartMs = 20000;

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void startsShownOrInTheTray_data();
    void startsShownOrInTheTray();
    void alertsOfTheMinuteAndACountdown();
    void keepsEverythingAtTheEndAndThroughAKill();
    void welcomePageAtTheFirstStartOnly();
    void secondStartHandsOver();

private:
    QString folderPath(const QString& name) const { return m_folder->filePath(name); }
    bool writeConf(const QByteArray& contents) const;
    QProcess* startClock();
    // Waits until `clock` has its tray item and answers on the bus, with
    // `toolTipLine` in its tooltip when given, and returns the item's tooltip
    // as the desktop reads it.
    QString waitUntilRunning(QProcess* clock, const QString& toolTipLine = QString());
    bool endClock(QProcess* clock);
    // What the desktop recorded of `event` since the test began.
    QList<QJsonObject> recorded(const QString& event) const;
    // The arguments the stand-in xdg-open was started with.
    QStringList opened() const;

    QTemporaryDir m_session;
    QProcess m_bus;
    QProcess m_desktop;
    QString m_busAddress;
    std::unique_ptr<QTemporaryDir> m_folder;
    qint64 m_recordStart = 0;
};

void TestEndToEnd::initTestCase()
{
    // A bus of its own: the other desktop tests keep the XEmbed tray.
    m_bus.start(QStringLiteral("dbus-daemon"),
                {"--session", "--nofork", "--nopidfile", "--print-address=1",
                 "--address=unix:path=" + m_session.filePath("bus")});
    QVERIFY(m_bus.waitForReadyRead(kStartMs));
    m_busAddress = QString::fromUtf8(m_bus.readLine()).trimmed();
    QVERIFY(!m_busAddress.isEmpty());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
    m_desktop.setProcessEnvironment(env);
    m_desktop.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_desktop.start(QStringLiteral("/usr/bin/python3"), {FAKE_DESKTOP, m_session.filePath("record")});
    QTRY_VERIFY_WITH_TIMEOUT(!recorded("ready").isEmpty(), kStartMs);
}

void TestEndToEnd::cleanupTestCase()
{
    for (QProcess* process : {&m_desktop, &m_bus}) {
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished();
        }
    }
}

void TestEndToEnd::init()
{
    m_recordStart = QFileInfo(m_session.filePath("record")).size();
    m_folder = std::make_unique<QTemporaryDir>();
    const QDir build = QFileInfo(CLEPSA_BINARY).dir();
    QVERIFY(QFile::copy(CLEPSA_BINARY, folderPath("clepsa")));
    QVERIFY(QDir(m_folder->path()).mkpath("ressources") && QDir(m_folder->path()).mkpath("bin"));
    QVERIFY(QFile::copy(build.filePath("ressources/ding.wav"), folderPath("ressources/ding.wav")));
    // The help page, which a portable copy carries beside the program.
    QVERIFY(QFile::copy(build.filePath("aide.html"), folderPath("aide.html")));
    QFile xdgOpen(folderPath("bin/xdg-open"));
    QVERIFY(xdgOpen.open(QIODevice::WriteOnly));
    xdgOpen.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >>\"" + folderPath("opened").toUtf8() + "\"\n");
    xdgOpen.close();
    QVERIFY(xdgOpen.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestEndToEnd::cleanup()
{
    for (QProcess* clock : findChildren<QProcess*>(QString(), Qt::FindDirectChildrenOnly)) {
        clock->kill();
        clock->waitForFinished();
        delete clock;
    }
    m_folder.reset();
}

void TestEndToEnd::startsShownOrInTheTray_data()
{
    QTest::addColumn<QByteArray>("reduire");
    QTest::addColumn<bool>("shown");
    QTest::addRow("shown") << QByteArray("false") << true;
    QTest::addRow("hidden in the tray") << QByteArray("true") << false;
}

void TestEndToEnd::startsShownOrInTheTray()
{
    QFETCH(QByteArray, reduire);
    QFETCH(bool, shown);
    // An alarm two hours from now, which may be tomorrow.
    const QTime alarm = QTime::currentTime().addSecs(2 * 3600);
    QVERIFY(writeConf("[General]\npremier_demarrage=false\n[demarrage]\nreduire=" + reduire
                      + QStringLiteral("\n[alarm]\n1\\h=%1\n1\\m=%2\n1\\active=true\n1\\title=Soir\nsize=1\n")
                            .arg(alarm.hour())
                            .arg(alarm.minute())
                            .toUtf8()));
    QProcess* clock = startClock();
    // The tray item tells the date and the time of the minute, then the
    // next alarm.
    const QString nextAlarm = QStringLiteral("\nProchaine alarme : ")
        + (alarm < QTime::currentTime() ? "demain " : "") + alarm.toString(u"hh:mm") + " Soir";
    const QString toolTip = waitUntilRunning(clock, nextAlarm);
    const QDateTime now = QDateTime::currentDateTime();
    const QString firstLine = toolTip.section('\n', 0, 0);
    QVERIFY2(toolTip.endsWith(nextAlarm)
                 && (firstLine.endsWith(" - " + now.toString("hh:mm"))
                     || firstLine.endsWith(" - " + now.addSecs(-60).toString("hh:mm"))),
             qPrintable(toolTip));
    if (shown) {
        QTRY_VERIFY_WITH_TIMEOUT(xdesktop::shownWindow(clock->processId(), "Clepsa"), kStartMs);
    } else {
        QTest::qWait(1000);
        QVERIFY(!xdesktop::shownWindow(clock->processId(), "Clepsa"));
    }
    QVERIFY(endClock(clock));
}

void TestEndToEnd::alertsOfTheMinuteAndACountdown()
{
    // The alarm rings in its minute only: not too near the next one.
    const int second = QTime::currentTime().second();
    if (second >= 50)
        QTest::qWait((61 - second) * 1000);
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime due = now.addSecs(2);
    QFile note(folderPath("note.txt"));
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.close();
    // Two armed alarms of this minute, one with a message and one with a
    // file, one unarmed, and a countdown.
    const QString conf =
        QStringLiteral(
            "[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n[alarm]\n"
            "1\\h=%1\n1\\m=%2\n1\\active=true\n1\\title=Réveil\n1\\message=\"Debout, c'est l'heure\"\n"
            "2\\h=%1\n2\\m=%2\n2\\active=true\n2\\title=Note\n2\\execute=true\n2\\file=%3\n"
            "3\\h=%1\n3\\m=%2\n3\\active=false\n3\\title=Non\n3\\message=Jamais\nsize=3\n"
            "[timer]\n1\\date=%4\n1\\title=Thé\n1\\message=Infusé\nsize=1\n")
            .arg(now.time().hour())
            .arg(now.time().minute())
            .arg(folderPath("note.txt"), due.toString(Qt::ISODate));
    QVERIFY(writeConf(conf.toUtf8()));
    QProcess* clock = startClock();
    waitUntilRunning(clock);

    QTRY_COMPARE_WITH_TIMEOUT(recorded("notify").size(), 2, kStartMs);
    // Nothing rings twice.
    QTest::qWait(1500);
    const QList<QJsonObject> notes = recorded("notify");
    QCOMPARE(notes.size(), 2);
    QCOMPARE(notes.at(0)["app_name"].toString(), "Clepsa");
    QCOMPARE(notes.at(0)["summary"].toString() + ": " + notes.at(0)["body"].toString(),
             "Réveil: Debout, c'est l'heure");
    QCOMPARE(notes.at(1)["summary"].toString() + ": " + notes.at(1)["body"].toString(), "Thé: Infusé");
    // Not before its time (whole seconds).
    QCOMPARE_GE(qint64(notes.at(1)["time"].toDouble()), due.toSecsSinceEpoch());
    QCOMPARE(opened(), QStringList{QUrl::fromLocalFile(folderPath("note.txt")).toString()});
    QVERIFY(endClock(clock));
}

void TestEndToEnd::keepsEverythingAtTheEndAndThroughAKill()
{
    QVERIFY(writeConf("[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n"
                      "[horloge]\npen_r=200\n"
                      "[alarm]\n1\\h=6\n1\\m=45\n1\\active=false\n1\\title=Sport\nsize=1\n"
                      "[timer]\n1\\date=2099-01-01T00:00:00\n1\\title=Nouvel an\nsize=1\n"
                      "[pasttime]\n1\\date=2020-02-29T12:00:00\n1\\title=Arrivée\nsize=1\n"
                      "[stopwatch]\n1\\title=Course\n1\\s=3600\n1\\ms=42\n1\\active=false\nsize=1\n"));
    QProcess* clock = startClock();
    waitUntilRunning(clock);
    QVERIFY(endClock(clock));

    // Every key of the four arrays with its value.
    const QRegularExpression itemKey("^(alarm|timer|pasttime|stopwatch)/");
    const auto items = [this, &itemKey] {
        QSettings conf(folderPath("conf.ini"), QSettings::IniFormat);
        QStringList all;
        for (const QString& key : conf.allKeys()) {
            if (key.contains(itemKey))
                all << key + '=' + conf.value(key).toString();
        }
        return all;
    };
    QSettings conf(folderPath("conf.ini"), QSettings::IniFormat);
    QStringList keys = conf.allKeys();
    keys.removeIf([&itemKey](const QString& key) { return key.contains(itemKey); });
    keys.sort();
    QCOMPARE(keys,
             QStringList({"date",
                          "demarrage/onTop",
                          "demarrage/os",
                          "demarrage/reduire",
                          "horloge/aiguille_seconde",
                          "horloge/image",
                          "horloge/pen_b",
                          "horloge/pen_r",
                          "horloge/pen_size",
                          "horloge/pen_v",
                          "langue",
                          "premier_demarrage",
                          "sauvegarde/alarmes",
                          "sauvegarde/car",
                          "sauvegarde/chronos",
                          "sauvegarde/te",
                          "sonnerie/bip/duree",
                          "sonnerie/bip/frequence",
                          "sonnerie/son",
                          "sonnerie/type",
                          "vibration/active",
                          "vibration/duree",
                          "vibration/intensite"}));
    QCOMPARE(conf.value("horloge/pen_r").toInt(), 200);
    QVERIFY(qAbs(conf.value("date").toDateTime().secsTo(QDateTime::currentDateTime())) < 60);
    const QStringList stored = items();
    for (const char* item : {"alarm/1/title=Sport", "timer/1/title=Nouvel an", "pasttime/1/title=Arrivée",
                             "stopwatch/1/title=Course", "stopwatch/1/s=3600", "alarm/size=1", "timer/size=1",
                             "pasttime/size=1", "stopwatch/size=1"})
        QVERIFY2(stored.contains(QString::fromUtf8(item)), item);

    // Killed, the next run leaves the file as the last end wrote it.
    clock = startClock();
    waitUntilRunning(clock);
    clock->kill();
    QVERIFY(clock->waitForFinished(kStartMs));
    QCOMPARE(items(), stored);
}

void TestEndToEnd::welcomePageAtTheFirstStartOnly()
{
    QProcess* clock = startClock();
    waitUntilRunning(clock);
    QTRY_COMPARE_WITH_TIMEOUT(opened().size(), 1, kStartMs);
    QCOMPARE(opened().constFirst(), QUrl::fromLocalFile(folderPath("aide.html")).toString() + "?v=from_h");
    QCOMPARE(QSettings(folderPath("conf.ini"), QSettings::IniFormat).value("premier_demarrage").toString(),
             "false");
    QVERIFY(endClock(clock));

    clock = startClock();
    waitUntilRunning(clock);
    QTest::qWait(1000);
    QCOMPARE(opened().size(), 1);
    QVERIFY(endClock(clock));
}

void TestEndToEnd::secondStartHandsOver()
{
    QVERIFY(writeConf("[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n"));
    QProcess* first = startClock();
    waitUntilRunning(first);
    QVERIFY(!xdesktop::shownWindow(first->processId(), "Clepsa"));

    QProcess* second = startClock();
    QVERIFY(second->waitForFinished(kStartMs));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(xdesktop::shownWindow(first->processId(), "Clepsa"), kStartMs);
    for (const QJsonObject& item : recorded("item"))
        QVERIFY(item["pid"].toInteger() != second->processId());
    QVERIFY(endClock(first));
}

bool TestEndToEnd::writeConf(const QByteArray& contents) const
{
    QFile file(folderPath("conf.ini"));
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QProcess* TestEndToEnd::startClock()
{
    auto* clock = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
    env.insert("PATH", folderPath("bin") + ':' + env.value("PATH"));
    env.insert("XDG_CONFIG_HOME", folderPath("config"));
    env.remove("BROWSER");
    clock->setProcessEnvironment(env);
    clock->setWorkingDirectory(m_folder->path());
    // What the program says (a sanitizer's report included) goes to the log.
    clock->setProcessChannelMode(QProcess::ForwardedChannels);
    clock->start(folderPath("clepsa"), {});
    return clock;
}

QString TestEndToEnd::waitUntilRunning(QProcess* clock, const QString& toolTipLine)
{
    const auto itemOfClock = [&] {
        for (const QJsonObject& item : recorded("item")) {
            if (item["pid"].toInteger() == clock->processId())
                return item["service"].toString();
        }
        return QString();
    };
    QString service;
    if (!QTest::qWaitFor([&] { return !(service = itemOfClock()).isEmpty(); }, kStartMs)) {
        qWarning("no tray item from process %lld", clock->processId());
        return QString();
    }
    // The program answers the desktop from its event loop: it is past its
    // start. Its tooltip is set at the first tick.
    QString toolTip;
    const bool answered = QTest::qWaitFor(
        [&] {
            QProcess dump;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
            dump.setProcessEnvironment(env);
            dump.start("gdbus",
                       {"call", "--session", "--dest", "org.kde.StatusNotifierWatcher", "--object-path",
                        "/StatusNotifierWatcher", "--method", "org.kde.StatusNotifierWatcher.DumpToolTips"});
            dump.waitForFinished(kStartMs);
            const QList<QJsonObject> tips = recorded("tooltip");
            for (auto tip = tips.crbegin(); tip != tips.crend(); ++tip) {
                if ((*tip)["service"].toString() == service)
                    return !(toolTip = (*tip)["title"].toString()).isEmpty() && toolTip.contains(toolTipLine);
            }
            return false;
        },
        kStartMs);
    if (!answered)
        qWarning("no tooltip from %s", qPrintable(service));
    return toolTip;
}

bool TestEndToEnd::endClock(QProcess* clock)
{
    clock->terminate();
    return clock->waitForFinished(kStartMs) && clock->exitStatus() == QProcess::NormalExit
        && clock->exitCode() == 0;
}

QList<QJsonObject> TestEndToEnd::recorded(const QString& event) const
{
    QFile file(m_session.filePath("record"));
    QList<QJsonObject> events;
    if (!file.open(QIODevice::ReadOnly) || !file.seek(m_recordStart))
        return events;
    while (!file.atEnd()) {
        const QJsonObject line = QJsonDocument::fromJson(file.readLine()).object();
        if (line["event"].toString() == event)
            events.append(line);
    }
    return events;
}

QStringList TestEndToEnd::opened() const
{
    QFile file(folderPath("opened"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "testendtoend.moc"
