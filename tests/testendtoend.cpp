// The built program as a user starts it: a copy in a folder of its own with
// a prepared conf.ini, on the X desktop of scripts/desktop-session, with a
// tray watcher and a notification service (support/fakedesktop.py) on a
// D-Bus session of this test's own, and a stand-in xdg-open that notes what
// it is asked to open. Everything is seen from outside the process.

#include "app/singleinstance.h"
#include "support/xdesktop.h"

#include <QtTest>

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
