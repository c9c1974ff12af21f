#include "mainwindow/fenetreprincipale.h"
#include "support/testday.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

namespace {

// What to put into the plug-in folders: file name → the library it copies,
// "" to remove it, or "@" to make it a link to the folder beside the
// program. A name alone is beside the program; "installed/" and "user/" name
// the installed folder and the user's own.
using Files = QMap<QString, QString>;

const QString named = QStringLiteral(NAMED_PLUGIN);         // getName "Exemple nommé", logs "exemple-nomme"
const QString plain = QStringLiteral(PLAIN_PLUGIN);         // logs "exemple"
const QString nameOnly = QStringLiteral(NAME_ONLY_LIBRARY); // getName only
const QString probe = QStringLiteral(PROBE_PLUGIN);         // a null name; logs "probe", moves conf.ini

QString placed(const QString& name)
{
    const QString program = QCoreApplication::applicationDirPath();
    if (name.startsWith(u"installed"))
        return QDir::cleanPath(program + QStringLiteral("/" PLUGIN_DIR_FROM_BIN)) + name.mid(9);
    if (name.startsWith(u"user"))
        return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Clepsa/plugins") + name.mid(4);
    return program + QStringLiteral("/plugins/") + name;
}

[[nodiscard]] bool put(const Files& files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = placed(it.key());
        QFile::remove(path);
        if (it.value().isEmpty())
            continue;
        QDir().mkpath(QFileInfo(path).path());
        if (!(it.value() == u"@" ? QFile::link(placed({}), path) : QFile::copy(it.value(), path)))
            return false;
    }
    return true;
}

// Those of the user are in the test's own folder.
void removePluginFolders()
{
    QDir(placed({})).removeRecursively();
    QDir(placed("installed")).removeRecursively();
}

} // namespace

// A library whose "plugin" has run stays loaded under its path for the rest
// of the process: each row that runs one uses file names of its own.
class TestPlugins : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menuAndChoice_data();
    void menuAndChoice();

private:
    std::optional<TestDay> m_day;
};

void TestPlugins::init()
{
    m_day.emplace(QStringLiteral("10:00:00.000"));
    const QString scratch = m_day->conf.dirPath();
    qputenv("CLEPSA_PLUGIN_LOG", QFile::encodeName(scratch + "/calls.log"));
    qputenv("CLEPSA_PROBE_CONF", QFile::encodeName(m_day->conf.path()));
    qputenv("CLEPSA_PROBE_SNAPSHOT", QFile::encodeName(scratch + "/snapshot.ini"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch + "/data"));
    removePluginFolders();
}

void TestPlugins::cleanup()
{
    removePluginFolders();
    m_day.reset();
}

void TestPlugins::menuAndChoice_data()
{
    // The files at the start, the menu they give, the files changed after
    // the start, the entry chosen, and what happened: the plug-ins' calls,
    // the balloons, the pages opened, and what conf.ini held as a plug-in
    // ran (the alarm made in this run, and a setting).
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<Files>("afterStart");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("happened");
    const QString home = shippedHelpPage();
    QTest::addRow("no folder") << Files{} << "Vide... (off)|Télécharger..." << Files{} << 1 << home;
    QTest::addRow("named first, then by base name, no entry for getName alone or no library; b runs once")
        << Files{{"b.so", plain}, {"a.so", named}, {"c.so", nameOnly}, {"x.so", QStringLiteral(__FILE__)}}
        << "Exemple nommé|b|Télécharger..." << Files{} << 1 << "exemple";
    QTest::addRow("one last suffix in any case, sorted in any case; the listed file is named and run")
        << Files{{"a.so.dll", plain}, {"B.SO", named},         {"c.dylib", plain},
                 {"D.SO", plain},     {"my.social.so", plain}, {"noext", plain}}
        << "a.so|Exemple nommé|c|D|my.social|Télécharger..." << Files{} << 1 << "exemple-nomme";
    QTest::addRow("a null name gives an empty entry; the run is saved before it runs")
        << Files{{"p.so", probe}} << "|Télécharger..." << Files{} << 0 << "probe|Réveil 200";
    QTest::addRow("removed after the start: nothing")
        << Files{{"gone.so", plain}} << "gone|Télécharger..." << Files{{"gone.so", ""}} << 0 << "";
    QTest::addRow("replaced by a library without plugin: error balloon")
        << Files{{"r.so", plain}} << "r|Télécharger..." << Files{{"r.so", nameOnly}} << 0
        << "Erreur: Impossible de charger la fonction";
    QTest::addRow("beside, installed, then the user's, each sorted; an a of the user's runs its own")
        << Files{{"z.so", plain}, {"installed/a.so", plain}, {"user/c.so", plain}, {"user/a.so", named}}
        << "z|a|Exemple nommé|c|Télécharger..." << Files{} << 2 << "exemple-nomme";
    QTest::addRow("the user's folder is the program's: each file once")
        << Files{{"a.so", plain}, {"user", "@"}} << "a|Télécharger..." << Files{} << 0 << "exemple";
}

void TestPlugins::menuAndChoice()
{
    QFETCH(Files, files);
    QFETCH(QString, menu);
    QFETCH(Files, afterStart);
    QFETCH(int, chosen);
    QFETCH(QString, happened);
    QVERIFY(put(files));
    FenetrePrincipale window;
    window.findChild<FenetreAlarmes*>()->newAlarm(Alarme{7, 0, false, "Réveil", {}, false, {}});
    const QList<QAction*> entries = window.findChild<QMenu*>(QStringLiteral("menuPlugins"))->actions();
    QStringList texts;
    for (const QAction* action : entries)
        texts << action->text() + (action->isEnabled() ? "" : " (off)");
    QCOMPARE(texts.join('|'), menu);

    QVERIFY(put(afterStart));
    entries.at(chosen)->trigger();
    QFile log(m_day->conf.dirPath() + "/calls.log");
    const QByteArray calls = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    QStringList seen = QString::fromUtf8(calls).split('\n', Qt::SkipEmptyParts) + m_day->balloons;
    for (const QUrl& url : m_day->files.opened)
        seen << url.toString();
    const QSettings snapshot(qEnvironmentVariable("CLEPSA_PROBE_SNAPSHOT"), QSettings::IniFormat);
    if (!snapshot.allKeys().isEmpty())
        seen << snapshot.value("alarm/1/title").toString() + ' '
                + snapshot.value("vibration/duree").toString();
    QCOMPARE(seen.join('|'), happened);
}

QTEST_MAIN(TestPlugins)
#include "testplugins.moc"
