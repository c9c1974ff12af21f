// The built program as a user starts it: a copy in a folder of its own with
// a prepared conf.ini, on the X desktop of scripts/desktop-session, with a
// tray watcher and a notification service (support/fakedesktop.py) on a
// D-Bus session of this test's own, and a stand-in xdg-open that notes what
// it is asked to open. Everything is seen from outside the process.

#include "app/singleinstance.h"
#include "support/xdesktop.h"

#include <QtTest>

#include <csignal>
#include <memory>

constexpr int kStartMs = 20000;

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void welcomePageAtTheFirstStartOnly();
    void alertsOfTheMinuteAndACountdown();
    void keepsEverythingAndRunsOnce();
    void copiesInOtherFoldersStayApart();
    void anEarlyEndKeepsEverything_data();
    void anEarlyEndKeepsEverything();
    void aKillAfterAnAlertOrThePreferencesLosesNothing();
    void aStartWhileTheClockEndsTakesOver_data();
    void aStartWhileTheClockEndsTakesOver();

private:
    QString folderPath(const QString& name) const { return m_folder->filePath(name); }
    bool write(const QString& name, const QByteArray& contents) const;
    QByteArray read(const QString& name) const;
    QProcess* startClock();
    // Waits until `clock` has its tray item and answers on the bus, with
    // `toolTipText` in the item's tooltip as the desktop reads it.
    bool waitUntilRunning(QProcess* clock, const QString& toolTipText = QString());
    bool endClock(QProcess* clock);
    // What the desktop recorded of `event` since the test began.
    QList<QJsonObject> recorded(const QString& event) const;
    // Chooses the entry `label` of `clock`'s tray menu, as the tray does.
    bool chooseInTrayMenu(QProcess* clock, const QString& label);
    // The "date" of the last save in conf.ini.
    QDateTime lastSave() const;

    QTemporaryDir m_session;
    QProcess m_bus;
    QProcess m_desktop;
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
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
    m_env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(m_bus.readLine()).trimmed());
    m_desktop.setProcessEnvironment(m_env);
    m_desktop.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_desktop.start(QStringLiteral("/usr/bin/python3"), {FAKE_DESKTOP, m_session.filePath("record")});
    QTRY_VERIFY_WITH_TIMEOUT(!recorded("ready").isEmpty(), kStartMs);
}

void TestEndToEnd::cleanupTestCase()
{
    for (QProcess* process : {&m_desktop, &m_bus}) {
        process->terminate();
        process->waitForFinished();
    }
}

void TestEndToEnd::init()
{
    m_recordStart = QFileInfo(m_session.filePath("record")).size();
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(CLEPSA_BINARY, folderPath("clepsa")));
    // The help page, which a portable copy carries beside the program.
    QVERIFY(QFile::copy(QFileInfo(CLEPSA_BINARY).dir().filePath("aide.html"), folderPath("aide.html")));
    // It notes each call on a line of "opened".
    QVERIFY(
        write("xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$*\" >>\"" + folderPath("opened").toUtf8() + "\"\n"));
    QVERIFY(QFile::setPermissions(folderPath("xdg-open"), QFile::ReadOwner | QFile::ExeOwner));
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

void TestEndToEnd::welcomePageAtTheFirstStartOnly()
{
    // In an empty folder: the window shows, and the help page opens once.
    QProcess* clock = startClock();
    QTRY_VERIFY_WITH_TIMEOUT(xdesktop::shownWindow(clock->processId(), "Clepsa"), kStartMs);
    const QByteArray welcome = QUrl::fromLocalFile(folderPath("aide.html")).toEncoded() + "?v=from_h\n";
    QTRY_COMPARE_WITH_TIMEOUT(read("opened"), welcome, kStartMs);
    QVERIFY(endClock(clock));

    clock = startClock();
    QVERIFY(waitUntilRunning(clock));
    QTest::qWait(1000);
    QCOMPARE(read("opened"), welcome);
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
    QVERIFY(write("note.txt", {}));
    // Two armed alarms of this minute, one with a message and one with a
    // file, one unarmed, and a countdown.
    QVERIFY(
        write("conf.ini",
              QStringLiteral(
                  "[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n[alarm]\n"
                  "1\\h=%1\n1\\m=%2\n1\\active=true\n1\\title=Réveil\n1\\message=\"Debout, c'est l'heure\"\n"
                  "2\\h=%1\n2\\m=%2\n2\\active=true\n2\\title=Note\n2\\execute=true\n2\\file=%3\n"
                  "3\\h=%1\n3\\m=%2\n3\\active=false\n3\\title=Non\n3\\message=Jamais\nsize=3\n"
                  "[timer]\n1\\date=%4\n1\\title=Thé\n1\\message=Infusé\nsize=1\n")
                  .arg(now.time().hour())
                  .arg(now.time().minute())
                  .arg(folderPath("note.txt"), due.toString(Qt::ISODate))
                  .toUtf8()));
    QProcess* clock = startClock();

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
    QCOMPARE(read("opened"), QUrl::fromLocalFile(folderPath("note.txt")).toEncoded() + '\n');
    QVERIFY(endClock(clock));
}

void TestEndToEnd::keepsEverythingAndRunsOnce()
{
    // An alarm two hours from now, which may be tomorrow.
    const QTime alarm = QTime::currentTime().addSecs(2 * 3600);
    QVERIFY(
        write("conf.ini",
              QStringLiteral("[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n"
                             "[horloge]\npen_r=200\n"
                             "[alarm]\n1\\h=%1\n1\\m=%2\n1\\active=true\n1\\title=Soir\nsize=1\n"
                             "[timer]\n1\\date=2099-01-01T00:00:00\n1\\title=Nouvel an\nsize=1\n"
                             "[pasttime]\n1\\date=2020-02-29T12:00:00\n1\\title=Arrivée\nsize=1\n"
                             "[stopwatch]\n1\\title=Course\n1\\s=3600\n1\\ms=42\n1\\active=false\nsize=1\n")
                  .arg(alarm.hour())
                  .arg(alarm.minute())
                  .toUtf8()));
    QProcess* clock = startClock();
    // The tray item tells the next alarm.
    QVERIFY(waitUntilRunning(clock,
                             QStringLiteral("Prochaine alarme : ")
                                 + (alarm < QTime::currentTime() ? "demain " : "") + alarm.toString(u"hh:mm")
                                 + " Soir"));
    QVERIFY(endClock(clock));
    // All 23 settings, beside the items.
    QSettings settings(folderPath("conf.ini"), QSettings::IniFormat);
    QCOMPARE(settings.allKeys().filter(QRegularExpression("^(?!(alarm|timer|pasttime|stopwatch)/)")).size(),
             23);
    QCOMPARE(settings.value("horloge/pen_r").toInt(), 200);
    QVERIFY(qAbs(settings.value("date").toDateTime().secsTo(QDateTime::currentDateTime())) < 60);
    for (const char* item : {"alarm/1/title=Soir", "timer/1/title=Nouvel an", "pasttime/1/title=Arrivée",
                             "stopwatch/1/title=Course", "stopwatch/1/s=3600"}) {
        const QString key = QString::fromUtf8(item).section('=', 0, 0);
        QCOMPARE(key + '=' + settings.value(key).toString(), QString::fromUtf8(item));
    }

    // Killed, a clock leaves the file as the last end wrote it, and its
    // socket behind.
    const QByteArray stored = read("conf.ini");
    clock = startClock();
    QVERIFY(waitUntilRunning(clock));
    clock->kill();
    QVERIFY(clock->waitForFinished(kStartMs));
    QCOMPARE(read("conf.ini"), stored);

    // The next clock starts all the same, in the tray; a start after it
    // shows its window and goes without writing anything.
    QProcess* first = startClock();
    QVERIFY(waitUntilRunning(first));
    QVERIFY(!xdesktop::shownWindow(first->processId(), "Clepsa"));
    QProcess* second = startClock();
    QVERIFY(second->waitForFinished(kStartMs));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(xdesktop::shownWindow(first->processId(), "Clepsa"), kStartMs);
    QCOMPARE(read("conf.ini"), stored);
    QVERIFY(endClock(first));
}

void TestEndToEnd::copiesInOtherFoldersStayApart()
{
    QCOMPARE_NE(SingleInstance::serverName("/a/conf.ini"), SingleInstance::serverName("/b/conf.ini"));
    QCOMPARE(SingleInstance::serverName("/a/conf.ini"), SingleInstance::serverName("/a/../a/conf.ini"));
}

// True once the process has its own handler for `sig`, so that a signal sent
// from then on cannot meet the default action.
static bool catchesSignal(qint64 pid, int sig)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype caught = text.indexOf("SigCgt:");
    return caught >= 0 && (text.mid(caught + 7, 17).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1;
}

void TestEndToEnd::anEarlyEndKeepsEverything_data()
{
    // The signal, and how long after the program can catch it.
    QTest::addColumn<int>("sig");
    QTest::addColumn<int>("delayMs");
    QTest::addRow("SIGTERM as soon as it can be caught") << int(SIGTERM) << 0;
    QTest::addRow("SIGINT after 20 ms") << int(SIGINT) << 20;
    QTest::addRow("SIGHUP after 50 ms") << int(SIGHUP) << 50;
    for (const int ms : {100, 200, 400, 700, 1000})
        QTest::addRow("SIGTERM after %d ms", ms) << int(SIGTERM) << ms;
}

void TestEndToEnd::anEarlyEndKeepsEverything()
{
    QFETCH(int, sig);
    QFETCH(int, delayMs);
    // Shown at once, closed an hour ago: an armed alarm to come, a countdown
    // whose moment came meanwhile, a stopwatch that ran on.
    const QDateTime now = QDateTime::currentDateTime();
    const QTime evening = now.time().addSecs(2 * 3600);
    QVERIFY(write("note.txt", {}));
    QVERIFY(write("conf.ini",
                  QStringLiteral("[General]\npremier_demarrage=false\ndate=%1\n[vibration]\nduree=123\n"
                                 "[alarm]\n1\\h=%2\n1\\m=%3\n1\\active=true\n1\\title=Soir\nsize=1\n"
                                 "[timer]\n1\\date=2020-01-01T00:00:00\n1\\title=Thé\n1\\message=Infusé\n"
                                 "1\\execute=true\n1\\file=%4\nsize=1\n"
                                 "[stopwatch]\n1\\title=Course\n1\\s=100\n1\\active=true\nsize=1\n")
                      .arg(now.addSecs(-3600).toString(Qt::ISODate))
                      .arg(evening.hour())
                      .arg(evening.minute())
                      .arg(folderPath("note.txt"))
                      .toUtf8()));
    QProcess* clock = startClock();
    // Until the exec, the child has the test's own handlers.
    QVERIFY(clock->waitForStarted(kStartMs));
    QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(clock->processId(), sig), kStartMs);
    QTest::qWait(delayMs);
    ::kill(pid_t(clock->processId()), sig);
    QVERIFY(clock->waitForFinished(kStartMs));
    QCOMPARE(clock->exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock->exitCode(), 0);

    // Saved as "Quitter" saves: what was read, and every default besides.
    QSettings saved(folderPath("conf.ini"), QSettings::IniFormat);
    QCOMPARE(saved.value("vibration/duree").toInt(), 123);
    QCOMPARE(saved.value("sonnerie/bip/frequence").toInt(), 7000);
    QCOMPARE(saved.value("alarm/1/title").toString(), "Soir");
    // The save is dated now: the hour closed and the time since are counted.
    QCOMPARE_GE(saved.value("stopwatch/1/s").toInt(), 3700);
    // The file's date leaves out the fraction of a second.
    QCOMPARE_LE(saved.value("stopwatch/1/s").toInt(), 3700 + now.secsTo(QDateTime::currentDateTime()) + 2);
    QVERIFY(saved.value("stopwatch/1/active").toBool());
    // The countdown rang while the clock ran, seen and its file opened, or
    // is kept for the next start; never lost on the way out.
    const QList<QJsonObject> notes = recorded("notify");
    const bool rang = saved.value("timer/size").toInt() == 0;
    QCOMPARE(notes.size(), rang ? 1 : 0);
    QCOMPARE(read("opened").isEmpty(), !rang);
}

void TestEndToEnd::aKillAfterAnAlertOrThePreferencesLosesNothing()
{
    // Closed two hours ago, with a stopwatch running, and an alarm that came
    // an hour ago.
    const QDateTime started = QDateTime::currentDateTime();
    const QTime missed = started.time().addSecs(-3600);
    QVERIFY(write("conf.ini",
                  QStringLiteral("[General]\npremier_demarrage=false\ndate=%1\n"
                                 "[alarm]\n1\\h=%2\n1\\m=%3\n1\\active=true\n1\\title=Lever\nsize=1\n"
                                 "[stopwatch]\n1\\title=Course\n1\\s=100\n1\\active=true\nsize=1\n")
                      .arg(started.addSecs(-7200).toString(Qt::ISODate))
                      .arg(missed.hour())
                      .arg(missed.minute())
                      .toUtf8()));
    const auto missedAlarmsTold = [this] { return recorded("notify").size(); };

    // Killed once the missed alarm is told and saved: not told again.
    QProcess* clock = startClock();
    QTRY_COMPARE_WITH_TIMEOUT(missedAlarmsTold(), 1, kStartMs);
    QCOMPARE(recorded("notify").at(0)["summary"].toString(), "Alarme manquée");
    QTRY_VERIFY_WITH_TIMEOUT(lastSave() >= started, kStartMs);
    clock->kill();
    QVERIFY(clock->waitForFinished(kStartMs));

    // Killed once the preferences are accepted from the tray.
    clock = startClock();
    QVERIFY(waitUntilRunning(clock, "Prochaine alarme"));
    const QDateTime beforeOk = lastSave();
    QVERIFY(chooseInTrayMenu(clock, "Préférences..."));
    WId preferences = 0;
    QTRY_VERIFY_WITH_TIMEOUT((preferences = xdesktop::shownWindow(clock->processId(), "Préférences")) != 0,
                             kStartMs);
    QVERIFY(xdesktop::xdotool({"windowactivate", "--sync", QString::number(preferences), "key", "Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(lastSave() > beforeOk, kStartMs);
    clock->kill();
    QVERIFY(clock->waitForFinished(kStartMs));

    clock = startClock();
    QVERIFY(waitUntilRunning(clock, "Prochaine alarme"));
    QVERIFY(endClock(clock));
    QCOMPARE(missedAlarmsTold(), 1);
    // Two hours and its hundred seconds, and the time of the test.
    const int seconds =
        QSettings(folderPath("conf.ini"), QSettings::IniFormat).value("stopwatch/1/s").toInt();
    QCOMPARE_GE(seconds, 7300);
    QCOMPARE_LE(seconds, 7300 + started.secsTo(QDateTime::currentDateTime()) + 2);
}

void TestEndToEnd::aStartWhileTheClockEndsTakesOver_data()
{
    QTest::addColumn<int>("delayMs");
    for (const int ms : {0, 20, 40})
        QTest::addRow("%d ms after SIGTERM", ms) << ms;
}

void TestEndToEnd::aStartWhileTheClockEndsTakesOver()
{
    QFETCH(int, delayMs);
    // A hundred items in each tool make the end of the run long enough.
    QByteArray conf = "[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n";
    for (const char* array : {"alarm", "timer", "pasttime", "stopwatch"}) {
        conf += QByteArray("[") + array + "]\nsize=100\n";
        for (int i = 1; i <= 100; ++i) {
            conf += QByteArray::number(i) + "\\title=Élément " + QByteArray::number(i) + '\n';
            conf += QByteArray::number(i) + "\\date=2099-01-01T00:00:00\n";
        }
    }
    QVERIFY(write("conf.ini", conf));
    QProcess* ending = startClock();
    QVERIFY(waitUntilRunning(ending));
    ending->terminate();
    QTest::qWait(delayMs);
    QProcess* next = startClock();
    QVERIFY(ending->waitForFinished(kStartMs));
    QCOMPARE(ending->exitCode(), 0);
    // The new start waited for the last save, then became the clock: one
    // that had handed over would show no tray item.
    QVERIFY(waitUntilRunning(next));
    QVERIFY(endClock(next));
    QSettings saved(folderPath("conf.ini"), QSettings::IniFormat);
    for (const char* array : {"alarm", "timer", "pasttime", "stopwatch"})
        QCOMPARE(saved.value(QString::fromLatin1(array) + "/100/title").toString(), "Élément 100");
}

bool TestEndToEnd::chooseInTrayMenu(QProcess* clock, const QString& label)
{
    // The tray reads the menu over D-Bus (dbusmenu) and sends a click on the
    // entry's id.
    for (const QJsonObject& item : recorded("item")) {
        if (item["pid"].toInteger() != clock->processId())
            continue;
        const QString service = item["service"].toString();
        const auto call = [&](const QStringList& arguments) {
            QProcess gdbus;
            gdbus.setProcessEnvironment(m_env);
            gdbus.start(
                "gdbus",
                QStringList{"call", "--session", "--dest", service, "--object-path", "/MenuBar", "--method"}
                    + arguments);
            return gdbus.waitForFinished(kStartMs) && gdbus.exitCode() == 0
                ? QString::fromUtf8(gdbus.readAllStandardOutput())
                : QString();
        };
        const QString layout = call({"com.canonical.dbusmenu.GetLayout", "--", "0", "-1", "@as []"});
        const QRegularExpressionMatch entry =
            QRegularExpression("\\((\\d+), \\{[^}]*'label': <'" + QRegularExpression::escape(label) + "'>")
                .match(layout);
        return entry.hasMatch()
            && !call({"com.canonical.dbusmenu.Event", "--", entry.captured(1), "clicked", "<0>", "0"})
                    .isEmpty();
    }
    return false;
}

QDateTime TestEndToEnd::lastSave() const
{
    return QSettings(folderPath("conf.ini"), QSettings::IniFormat).value("date").toDateTime();
}

bool TestEndToEnd::write(const QString& name, const QByteArray& contents) const
{
    QFile file(folderPath(name));
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray TestEndToEnd::read(const QString& name) const
{
    QFile file(folderPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QProcess* TestEndToEnd::startClock()
{
    auto* clock = new QProcess(this);
    QProcessEnvironment env = m_env;
    env.insert("PATH", m_folder->path() + ':' + env.value("PATH"));
    env.insert("XDG_CONFIG_HOME", folderPath("config"));
    env.remove("BROWSER");
    clock->setProcessEnvironment(env);
    clock->setWorkingDirectory(m_folder->path());
    // What the program says (a sanitizer's report included) goes to the log.
    clock->setProcessChannelMode(QProcess::ForwardedChannels);
    clock->start(folderPath("clepsa"), {});
    return clock;
}

bool TestEndToEnd::waitUntilRunning(QProcess* clock, const QString& toolTipText)
{
    // The program answers the desktop from its event loop: it is past its
    // start. Its tooltip is set at the first tick.
    return QTest::qWaitFor(
        [&] {
            for (const QJsonObject& item : recorded("item")) {
                if (item["pid"].toInteger() != clock->processId())
                    continue;
                QProcess get;
                get.setProcessEnvironment(m_env);
                get.start("gdbus",
                          {"call", "--session", "--dest", item["service"].toString(), "--object-path",
                           item["path"].toString(), "--method", "org.freedesktop.DBus.Properties.Get",
                           "org.kde.StatusNotifierItem", "ToolTip"});
                return get.waitForFinished(kStartMs) && get.exitCode() == 0
                    && QString::fromUtf8(get.readAllStandardOutput()).contains(toolTipText);
            }
            return false;
        },
        kStartMs);
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

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "testendtoend.moc"
