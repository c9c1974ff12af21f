#include "app/configuration.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/testday.h"
#include "support/urlrecorder.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

// What to put into the plug-in folders: file name → the file it copies, ""
// to remove it, or "@" to make it a link to the folder beside the program.
// A name alone is in the folder beside the program; "installed/" and
// "user/" name the installed folder and the user's own.
using Files = QMap<QString, QString>;

const QString named = QStringLiteral(NAMED_PLUGIN);         // getName "Exemple nommé", logs "exemple-nomme"
const QString plain = QStringLiteral(PLAIN_PLUGIN);         // logs "exemple"
const QString nameOnly = QStringLiteral(NAME_ONLY_LIBRARY); // getName only
const QString probe = QStringLiteral(PROBE_PLUGIN);         // logs "called"

QString pluginFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/plugins");
}

// The installed folder as the program sees it from where it runs.
QString installedFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" PLUGIN_DIR_FROM_BIN));
}

// Under the XDG_DATA_HOME that init() sets.
QString userFolder()
{
    return QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/Clepsa/plugins");
}

QString placed(const QString& name)
{
    if (name.startsWith(QLatin1String("installed")))
        return installedFolder() + name.mid(9);
    if (name.startsWith(QLatin1String("user")))
        return userFolder() + name.mid(4);
    return pluginFolder() + QLatin1Char('/') + name;
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
    void theRunIsSavedBeforeAPluginRuns();

private:
    [[nodiscard]] static bool put(const Files& files);
    QString scratch(const char* name) const { return m_day->conf.dirPath() + '/' + QLatin1String(name); }
    QStringList calls() const;

    std::unique_ptr<TestDay> m_day;
    std::unique_ptr<FenetrePrincipale> m_window;
};

void TestPlugins::init()
{
    m_day = std::make_unique<TestDay>(QStringLiteral("10:00:00.000"));
    // Where the plug-ins log their calls, and where the probe copies
    // conf.ini to when it runs.
    qputenv("CLEPSA_PLUGIN_LOG", QFile::encodeName(scratch("calls.log")));
    qputenv("CLEPSA_PROBE_SNAPSHOT", QFile::encodeName(scratch("snapshot.ini")));
    qputenv("CLEPSA_PROBE_CONF", QFile::encodeName(m_day->conf.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch("data")));
    for (const QString& folder : {pluginFolder(), installedFolder(), userFolder()}) {
        QDir dir(folder);
        QVERIFY(dir.removeRecursively() && dir.mkpath(QStringLiteral(".")));
    }
}

void TestPlugins::cleanup()
{
    m_window.reset();
    QDir(pluginFolder()).removeRecursively();
    QDir(installedFolder()).removeRecursively();
    qunsetenv("XDG_DATA_HOME");
    m_day.reset();
}

bool TestPlugins::put(const Files& files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = placed(it.key());
        QFile::remove(path);
        QDir(path).removeRecursively();
        if (it.value() == QLatin1String("@")) {
            if (!QFile::link(pluginFolder(), path))
                return false;
        } else if (!it.value().isEmpty() && !QFile::copy(it.value(), path)) {
            return false;
        }
    }
    return true;
}

QStringList TestPlugins::calls() const
{
    QFile log(scratch("calls.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                         : QStringList();
}

void TestPlugins::menuAndChoice_data()
{
    // The files at the start, the menu they give, the files changed after
    // the start, the entry chosen, and what happened: the plug-ins' calls,
    // the balloons and the pages opened.
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<Files>("afterStart");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("happened");
    const QString home = shippedHelpPage();
    QTest::addRow("no folder") << Files{} << "Vide... (off)|Télécharger..." << Files{} << 1 << home;
    QTest::addRow("named first, then by base name; b runs once")
        << Files{{"b.so", plain}, {"a.so", named}} << "Exemple nommé|b|Télécharger..." << Files{} << 1
        << "exemple";
    QTest::addRow("getName only, or no library: no entry, nothing loaded")
        << Files{{"c.so", nameOnly}, {"x.so", QStringLiteral(__FILE__)}} << "Vide... (off)|Télécharger..."
        << Files{} << 1 << home;
    QTest::addRow("one last suffix in any case, sorted in any case; the listed file is named and run")
        << Files{{"a.so.dll", plain}, {"B.SO", named},         {"c.dylib", plain},
                 {"D.SO", plain},     {"my.social.so", plain}, {"noext", plain}}
        << "a.so|Exemple nommé|c|D|my.social|Télécharger..." << Files{} << 1 << "exemple-nomme";
    QTest::addRow("a null name gives an empty entry")
        << Files{{"p.so", probe}} << "|Télécharger..." << Files{} << 0 << "called";
    QTest::addRow("removed after the start: nothing")
        << Files{{"gone.so", plain}} << "gone|Télécharger..." << Files{{"gone.so", ""}} << 0 << "";
    QTest::addRow("replaced by a library without plugin: error balloon")
        << Files{{"r.so", plain}} << "r|Télécharger..." << Files{{"r.so", nameOnly}} << 0
        << "Erreur: Impossible de charger la fonction";
    QTest::addRow("beside, installed, then the user's, each sorted; an a of the user's runs its own")
        << Files{{"z.so", plain}, {"installed/a.so", plain}, {"user/c.so", plain}, {"user/a.so", named}}
        << "z|a|Exemple nommé|c|Télécharger..." << Files{} << 2 << "exemple-nomme";
    QTest::addRow("installed only") << Files{{"installed/i.so", plain}} << "i|Télécharger..." << Files{} << 0
                                    << "exemple";
    QTest::addRow("the user's folder is the program's: each file once")
        << Files{{"a.so", plain}, {"user", "@"}} << "a|Télécharger..." << Files{} << 0 << "exemple";
    QTest::addRow("removed from the user's folder after the start: nothing")
        << Files{{"user/u.so", plain}} << "u|Télécharger..." << Files{{"user/u.so", ""}} << 0 << "";
}

void TestPlugins::menuAndChoice()
{
    QFETCH(Files, files);
    QFETCH(QString, menu);
    QFETCH(Files, afterStart);
    QFETCH(int, chosen);
    QFETCH(QString, happened);
    if (files.isEmpty())
        QVERIFY(QDir(pluginFolder()).removeRecursively());
    QVERIFY(put(files));
    m_window = std::make_unique<FenetrePrincipale>();
    const QList<QAction*> entries = m_window->findChild<QMenu*>(QStringLiteral("menuPlugins"))->actions();
    QStringList texts;
    for (const QAction* action : entries)
        texts << action->text() + (action->isEnabled() ? "" : " (off)");
    QCOMPARE(texts.join('|'), menu);

    QVERIFY(put(afterStart));
    UrlRecorder browser;
    entries.at(chosen)->trigger();
    QStringList seen = calls() + m_day->balloons;
    for (const QUrl& url : browser.opened + m_day->files.opened)
        seen << url.toString();
    QCOMPARE(seen.join('|'), happened);
}

void TestPlugins::theRunIsSavedBeforeAPluginRuns()
{
    QVERIFY(put({{"probe.so", probe}}));
    m_window = std::make_unique<FenetrePrincipale>();
    Alarme alarm;
    alarm.title = QStringLiteral("Réveil");
    m_window->findChild<FenetreAlarmes*>()->newAlarm(alarm);
    g_configuration.vibration_duree = 321;

    m_window->findChild<QMenu*>(QStringLiteral("menuPlugins"))->actions().first()->trigger();
    QCOMPARE(calls(), QStringList{"called"});
    QSettings saved(scratch("snapshot.ini"), QSettings::IniFormat);
    QCOMPARE(saved.value("alarm/1/title").toString(), QStringLiteral("Réveil"));
    QCOMPARE(saved.value("vibration/duree").toInt(), 321);
}

QTEST_MAIN(TestPlugins)
#include "testplugins.moc"
