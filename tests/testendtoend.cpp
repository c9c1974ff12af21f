// The built program as a user starts it, one story per journey: a copy in a
// folder of its own with a prepared conf.ini, on the desktop of
// scripts/desktop-session with its real tray (a StatusNotifierWatcher and a
// host) and notification server (dunst), and a stand-in xdg-open that notes
// what it is asked to open. Everything is seen from outside the process: on
// X, on the session bus, in dunst's history and in the files.

#include "support/xdesktop.h"

#include <QtTest>

#include <csignal>
#include <ctime>
#include <memory>

constexpr int kStartMs = 20000;

namespace {

// What dunst received, as `dunstctl history` tells it.
struct Notification
{
    QString appName;
    QString text; // "summary: body"
    qint64 monotonicMs = 0;
};

qint64 monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// True once the process has its own handler for `sig`, so that a signal sent
// from then on cannot meet the default action.
bool catchesSignal(qint64 pid, int sig)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype caught = text.indexOf("SigCgt:");
    return caught >= 0 && (text.mid(caught + 7, 17).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1;
}

// The window titled `title` of process `pid` once it shows; 0 when it never
// does. Looked for once per try: a window being framed by the window manager
// can be out of sight for a moment, and a check made twice could see it go.
WId waitForWindow(qint64 pid, const QString& title)
{
    WId window = 0;
    const bool shown =
        QTest::qWaitFor([&] { return (window = xdesktop::shownWindow(pid, title)) != 0; }, kStartMs);
    return shown ? window : 0;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void alertsOfTheMinuteAndACountdown();
    void aKillAfterTheAlertsLosesNothing();
    void quitKeepsEverything_data();
    void quitKeepsEverything();
    void theStartsOfAClock();
    void withoutATrayTheWindowStaysWithinReach();
    void onAWaylandDesktop();

private:
    QString folderPath(const QString& name) const { return m_folder->filePath(name); }
    bool write(const QString& name, const QByteArray& contents) const;
    QByteArray read(const QString& name) const;
    QProcess* startClock(const QString& folder = QString(),
                         QProcess::ProcessChannelMode channels = QProcess::ForwardedChannels);
    // Waits until `clock` has its tray item, with `toolTipText` in the
    // item's tooltip as the tray reads it: the program is past its start
    // and has ticked.
    bool waitUntilRunning(QProcess* clock, const QString& toolTipText = QString());
    bool endClock(QProcess* clock);
    // Chooses the entry `label` of `clock`'s tray menu, as the tray does:
    // it reads the menu over D-Bus (dbusmenu) and sends a click on its id.
    bool chooseInTrayMenu(QProcess* clock, const QString& label);
    // What dunst received since the test began, oldest first.
    QList<Notification> notifications() const;
    // The "date" of the last save in conf.ini.
    QDateTime lastSave() const;

    std::unique_ptr<QTemporaryDir> m_folder;
    qint64 m_notificationsBefore = 0;
};

void TestEndToEnd::init()
{
    m_notificationsBefore = 0;
    m_notificationsBefore = notifications().size();
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

void TestEndToEnd::alertsOfTheMinuteAndACountdown()
{
    // The alarms ring in their minute only: not too near the next one.
    const int second = QTime::currentTime().second();
    if (second >= 50)
        QTest::qWait((61 - second) * 1000);
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 nowMonotonicMs = monotonicMs();
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

    QTRY_COMPARE_WITH_TIMEOUT(notifications().size(), 2, kStartMs);
    // Nothing rings twice.
    QTest::qWait(1500);
    const QList<Notification> told = notifications();
    QCOMPARE(told.size(), 2);
    QCOMPARE(told.at(0).appName, "Clepsa");
    QCOMPARE(told.at(0).text, "Réveil: Debout, c'est l'heure");
    QCOMPARE(told.at(1).text, "Thé: Infusé");
    // Not before its time, which is counted in whole seconds.
    QCOMPARE_GE(told.at(1).monotonicMs,
                nowMonotonicMs + now.msecsTo(QDateTime::fromSecsSinceEpoch(due.toSecsSinceEpoch())));
    QCOMPARE(read("opened"), QUrl::fromLocalFile(folderPath("note.txt")).toEncoded() + '\n');
    QVERIFY(endClock(clock));
}

void TestEndToEnd::aKillAfterTheAlertsLosesNothing()
{
    // Closed two hours ago, with a stopwatch running, an alarm that came an
    // hour ago and an unarmed one, and a countdown that came meanwhile.
    const QDateTime started = QDateTime::currentDateTime();
    const QTime hourAgo = started.time().addSecs(-3600);
    QVERIFY(
        write("conf.ini",
              QStringLiteral("[General]\npremier_demarrage=false\ndate=%1\n[demarrage]\nreduire=true\n"
                             "[alarm]\n1\\h=%2\n1\\m=%3\n1\\active=true\n1\\title=Lever\n"
                             "2\\h=%2\n2\\m=%3\n2\\active=false\n2\\title=Sieste\nsize=2\n"
                             "[timer]\n1\\date=2020-01-01T00:00:00\n1\\title=Thé\n1\\message=Infusé\nsize=1\n"
                             "[stopwatch]\n1\\title=Course\n1\\s=100\n1\\active=true\nsize=1\n")
                  .arg(started.addSecs(-7200).toString(Qt::ISODate))
                  .arg(hourAgo.hour())
                  .arg(hourAgo.minute())
                  .toUtf8()));
    QProcess* clock = startClock();
    QTRY_COMPARE_WITH_TIMEOUT(notifications().size(), 2, kStartMs);
    // Told together, in either order.
    QStringList told{notifications().at(0).text, notifications().at(1).text};
    told.sort();
    QCOMPARE(told, QStringList({"Alarme manquée: " + hourAgo.toString(u"hh:mm") + " Lever", "Thé: Infusé"}));

    // Killed once they are told and saved: not told again.
    QTRY_VERIFY_WITH_TIMEOUT(lastSave() >= started && !read("conf.ini").contains("[timer]\n1\\"), kStartMs);
    clock->kill();
    QVERIFY(clock->waitForFinished(kStartMs));
    clock = startClock();
    // In the tray, the item's tooltip tells the next alarm, and the window
    // waits.
    QVERIFY(waitUntilRunning(clock,
                             QStringLiteral("Prochaine alarme : ")
                                 + (hourAgo < QTime::currentTime() ? "demain " : "")
                                 + hourAgo.toString(u"hh:mm") + " Lever"));
    QVERIFY(!xdesktop::shownWindow(clock->processId(), "Clepsa"));
    // A click on the icon shows it.
    QVERIFY(
        xdesktop::clickTrayIcon(1, [clock] { return xdesktop::shownWindow(clock->processId(), "Clepsa"); }));

    // The preferences from the tray menu, accepted: saved at once, so that
    // a kill would not lose them.
    const QDateTime beforeOk = lastSave();
    QVERIFY(chooseInTrayMenu(clock, "Préférences..."));
    const WId preferences = waitForWindow(clock->processId(), "Préférences");
    QVERIFY(preferences);
    QVERIFY(xdesktop::xdotool({"windowactivate", "--sync", QString::number(preferences), "key", "Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(lastSave() > beforeOk, kStartMs);
    QVERIFY(endClock(clock));
    QCOMPARE(notifications().size(), 2);
    // Two hours and its hundred seconds, and the time of the test, the kill
    // included.
    const int seconds =
        QSettings(folderPath("conf.ini"), QSettings::IniFormat).value("stopwatch/1/s").toInt();
    QCOMPARE_GE(seconds, 7300);
    QCOMPARE_LE(seconds, 7300 + started.secsTo(QDateTime::currentDateTime()) + 2);
}

void TestEndToEnd::quitKeepsEverything_data()
{
    // "Quitter" in the tray menu once the clock runs, or a signal `delayMs`
    // after the program can catch it.
    QTest::addColumn<int>("sig");
    QTest::addColumn<int>("delayMs");
    QTest::addRow("Quitter in the tray menu") << 0 << 0;
    QTest::addRow("SIGTERM as soon as it can be caught") << int(SIGTERM) << 0;
    QTest::addRow("SIGINT after 20 ms") << int(SIGINT) << 20;
    QTest::addRow("SIGHUP after 50 ms") << int(SIGHUP) << 50;
    QTest::addRow("SIGTERM after 1000 ms, its pages built") << int(SIGTERM) << 1000;
}

void TestEndToEnd::quitKeepsEverything()
{
    QFETCH(int, sig);
    QFETCH(int, delayMs);
    // Shown at once, closed an hour ago: an armed alarm to come, a countdown
    // whose moment came meanwhile and one to come, a stopwatch that ran on.
    const QDateTime now = QDateTime::currentDateTime();
    const QTime evening = now.time().addSecs(2 * 3600);
    QVERIFY(write("note.txt", {}));
    QVERIFY(write("conf.ini",
                  QStringLiteral("[General]\npremier_demarrage=false\ndate=%1\n[vibration]\nduree=123\n"
                                 "[horloge]\npen_r=200\n"
                                 "[alarm]\n1\\h=%2\n1\\m=%3\n1\\active=true\n1\\title=Soir\nsize=1\n"
                                 "[timer]\n1\\date=2020-01-01T00:00:00\n1\\title=Thé\n1\\message=Infusé\n"
                                 "1\\execute=true\n1\\file=%4\n2\\date=2099-01-01T00:00:00\n"
                                 "2\\title=Nouvel an\nsize=2\n"
                                 "[pasttime]\n1\\date=2020-02-29T12:00:00\n1\\title=Arrivée\nsize=1\n"
                                 "[stopwatch]\n1\\title=Course\n1\\s=100\n1\\active=true\nsize=1\n")
                      .arg(now.addSecs(-3600).toString(Qt::ISODate))
                      .arg(evening.hour())
                      .arg(evening.minute())
                      .arg(folderPath("note.txt"))
                      .toUtf8()));
    QProcess* clock = startClock();
    if (sig == 0) {
        QVERIFY(waitUntilRunning(clock));
        QVERIFY(chooseInTrayMenu(clock, "Quitter"));
    } else {
        // Until the exec, the child has the test's own handlers.
        QVERIFY(clock->waitForStarted(kStartMs));
        QTRY_VERIFY_WITH_TIMEOUT(catchesSignal(clock->processId(), sig), kStartMs);
        QTest::qWait(delayMs);
        ::kill(pid_t(clock->processId()), sig);
    }
    QVERIFY(clock->waitForFinished(kStartMs));
    QCOMPARE(clock->exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock->exitCode(), 0);

    // All 23 settings, what was read and every default besides, beside the
    // items.
    QSettings saved(folderPath("conf.ini"), QSettings::IniFormat);
    QCOMPARE(saved.allKeys().filter(QRegularExpression("^(?!(alarm|timer|pasttime|stopwatch)/)")).size(), 23);
    QCOMPARE(saved.value("vibration/duree").toInt(), 123);
    QCOMPARE(saved.value("horloge/pen_r").toInt(), 200);
    QCOMPARE(saved.value("sonnerie/bip/frequence").toInt(), 7000);
    QCOMPARE(saved.value("alarm/1/title").toString(), "Soir");
    QCOMPARE(saved.value("pasttime/1/title").toString(), "Arrivée");
    // The save is dated now: the hour closed and the time since are counted.
    QVERIFY(qAbs(saved.value("date").toDateTime().secsTo(QDateTime::currentDateTime())) < 60);
    QCOMPARE_GE(saved.value("stopwatch/1/s").toInt(), 3700);
    // The file's date leaves out the fraction of a second.
    QCOMPARE_LE(saved.value("stopwatch/1/s").toInt(), 3700 + now.secsTo(QDateTime::currentDateTime()) + 2);
    QVERIFY(saved.value("stopwatch/1/active").toBool());
    // The countdown rang while the clock ran, seen and its file opened, or
    // is kept for the next start; never lost on the way out.
    const bool rang = saved.value("timer/size").toInt() == 1;
    QCOMPARE(saved.value("timer/" + QString(rang ? "1" : "2") + "/title").toString(), "Nouvel an");
    QCOMPARE(notifications().size(), rang ? 1 : 0);
    QCOMPARE(read("opened").isEmpty(), !rang);
}

void TestEndToEnd::theStartsOfAClock()
{
    // In an empty folder: the window shows, and the help page opens once.
    QProcess* clock = startClock();
    QVERIFY(waitForWindow(clock->processId(), "Clepsa"));
    const QByteArray welcome = QUrl::fromLocalFile(folderPath("aide.html")).toEncoded() + "?v=from_h\n";
    QTRY_COMPARE_WITH_TIMEOUT(read("opened"), welcome, kStartMs);
    // Killed during its first run, it has recorded that the page was seen.
    clock->kill();
    QVERIFY(clock->waitForFinished(kStartMs));
    clock = startClock();
    QVERIFY(waitUntilRunning(clock));
    QTest::qWait(1000);
    QCOMPARE(read("opened"), welcome);
    QVERIFY(endClock(clock));

    // From now on in the tray, with a hundred items in each tool, which make
    // the end of a run long enough for a start to come meanwhile.
    QByteArray conf = "[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n";
    for (const char* array : {"alarm", "timer", "pasttime", "stopwatch"}) {
        conf += QByteArray("[") + array + "]\nsize=100\n";
        for (int i = 1; i <= 100; ++i)
            conf += QByteArray::number(i) + "\\title=Élément " + QByteArray::number(i) + '\n'
                + QByteArray::number(i) + "\\date=2099-01-01T00:00:00\n";
    }
    QVERIFY(write("conf.ini", conf));
    clock = startClock();
    QVERIFY(waitUntilRunning(clock));
    QVERIFY(endClock(clock));
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
    QVERIFY(waitForWindow(first->processId(), "Clepsa"));
    QCOMPARE(read("conf.ini"), stored);

    // A copy in another folder is another clock, with its own item.
    QTemporaryDir elsewhere;
    QVERIFY(QFile::copy(folderPath("clepsa"), elsewhere.filePath("clepsa")));
    QVERIFY(QFile::copy(folderPath("conf.ini"), elsewhere.filePath("conf.ini")));
    QProcess* other = startClock(elsewhere.path());
    QVERIFY(waitUntilRunning(other));
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(endClock(other));

    // A start while the clock ends waits for its last save, then becomes the
    // clock: one that had handed over would show no tray item.
    first->terminate();
    QProcess* next = startClock();
    QVERIFY(first->waitForFinished(kStartMs));
    QCOMPARE(first->exitCode(), 0);
    QVERIFY(waitUntilRunning(next));
    QVERIFY(endClock(next));
    QSettings saved(folderPath("conf.ini"), QSettings::IniFormat);
    for (const char* array : {"alarm", "timer", "pasttime", "stopwatch"})
        QCOMPARE(saved.value(QString::fromLatin1(array) + "/100/title").toString(), "Élément 100");
}

void TestEndToEnd::withoutATrayTheWindowStaysWithinReach()
{
    // Run on its own desktop without a tray (tests/CMakeLists.txt).
    if (xdesktop::gdbusCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                            "org.freedesktop.DBus.NameHasOwner", {"org.kde.StatusNotifierWatcher"})
            .contains("true"))
        QSKIP("this desktop has a tray");
    QVERIFY(write("conf.ini", "[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n"));
    QProcess* clock = startClock();
    // Shown although asked to start in the tray.
    const WId window = waitForWindow(clock->processId(), "Clepsa");
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(!xdesktop::frameExtents(window).isEmpty(), kStartMs);
    // Closed, it goes to the task bar rather than out of sight.
    QVERIFY(xdesktop::closeThroughWindowManager(window));
    QTRY_VERIFY_WITH_TIMEOUT(xdesktop::netWmState(window).contains("_NET_WM_STATE_HIDDEN"), kStartMs);
    QCOMPARE(clock->state(), QProcess::Running);
    QVERIFY(endClock(clock));
    QVERIFY(qAbs(lastSave().secsTo(QDateTime::currentDateTime())) < 60);
}

void TestEndToEnd::onAWaylandDesktop()
{
    // Run under Wayland compositors (tests/CMakeLists.txt).
    if (qEnvironmentVariableIsEmpty("CLEPSA_SESSION_COMPOSITOR"))
        QSKIP("an X11 desktop");
    QVERIFY(write("conf.ini", "[General]\npremier_demarrage=false\n[demarrage]\nonTop=true\n"));
    QProcess* clock = startClock(QString(), QProcess::ForwardedOutputChannel);
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        // Through XWayland, an X11 client kept above, known by its launcher.
        const WId window = waitForWindow(clock->processId(), "Clepsa");
        QVERIFY(window);
        QTRY_VERIFY_WITH_TIMEOUT(xdesktop::netWmState(window).contains("_NET_WM_STATE_ABOVE"), kStartMs);
        QVERIFY(xdesktop::run("xprop", {"-id", QString::number(window), "WM_CLASS"})->contains("\"Clepsa\""));
    } else {
        // Natively, the one window on the desktop, known by the launcher's
        // name.
        QTRY_VERIFY_WITH_TIMEOUT(
            xdesktop::run("swaymsg", {"-t", "get_tree"})->contains("\"app_id\": \"org.clepsa.Clepsa\""),
            kStartMs);
    }
    QVERIFY(endClock(clock));
    // Nothing said about what the desktop does not offer.
    QCOMPARE(clock->readAllStandardError(), "");
}

bool TestEndToEnd::chooseInTrayMenu(QProcess* clock, const QString& label)
{
    const QString item = xdesktop::trayItem(clock->processId());
    const auto call = [&](const QString& method, const QStringList& arguments) {
        return item.isEmpty() ? QString() : xdesktop::gdbusCall(item, "/MenuBar", method, arguments);
    };
    const QString layout = call("com.canonical.dbusmenu.GetLayout", {"--", "0", "-1", "@as []"});
    const QRegularExpressionMatch entry =
        QRegularExpression("\\((\\d+), \\{[^}]*'label': <'" + QRegularExpression::escape(label) + "'>")
            .match(layout);
    return entry.hasMatch()
        && !call("com.canonical.dbusmenu.Event", {"--", entry.captured(1), "clicked", "<0>", "0"}).isEmpty();
}

QList<Notification> TestEndToEnd::notifications() const
{
    // The history holds the notifications once closed, the newest first.
    xdesktop::run("dunstctl", {"close-all"});
    const QJsonArray history =
        QJsonDocument::fromJson(xdesktop::run("dunstctl", {"history"}).value_or(QString()).toUtf8())
            .object()["data"]
            .toArray()
            .at(0)
            .toArray();
    QList<Notification> received;
    for (qsizetype i = history.size() - m_notificationsBefore - 1; i >= 0; --i) {
        const QJsonObject note = history.at(i).toObject();
        const auto field = [&](const char* name) { return note[name].toObject().value("data"); };
        received.append({field("appname").toString(),
                         field("summary").toString() + ": " + field("body").toString(),
                         qint64(field("timestamp").toDouble()) / 1000});
    }
    return received;
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

QProcess* TestEndToEnd::startClock(const QString& folder, QProcess::ProcessChannelMode channels)
{
    const QString dir = folder.isEmpty() ? m_folder->path() : folder;
    auto* clock = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", m_folder->path() + ':' + env.value("PATH"));
    env.insert("XDG_CONFIG_HOME", dir + "/config");
    env.remove("BROWSER");
    clock->setProcessEnvironment(env);
    clock->setWorkingDirectory(dir);
    // What the program says (a sanitizer's report included) goes to the log.
    clock->setProcessChannelMode(channels);
    clock->start(dir + "/clepsa", {});
    return clock;
}

bool TestEndToEnd::waitUntilRunning(QProcess* clock, const QString& toolTipText)
{
    return QTest::qWaitFor(
        [&] {
            const QString item = xdesktop::trayItem(clock->processId());
            return !item.isEmpty()
                && xdesktop::gdbusCall(item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                                       {"org.kde.StatusNotifierItem", "ToolTip"})
                       .contains(toolTipText);
        },
        kStartMs);
}

bool TestEndToEnd::endClock(QProcess* clock)
{
    clock->terminate();
    return clock->waitForFinished(kStartMs) && clock->exitStatus() == QProcess::NormalExit
        && clock->exitCode() == 0;
}

QTEST_MAIN(TestEndToEnd)
#include "testendtoend.moc"
