#include "app/configuration.h"
#include "app/weblinks.h"
#include "mainwindow/fenetreprincipale.h"
#include "support/testday.h"
#include "support/urlrecorder.h"
#include "tools/alarms/fenetrealarmes.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

// What to put into the plug-in folder: file name → the file it copies, or
// "" to remove it.
using Files = QMap<QString, QString>;

const QString named = QStringLiteral(NAMED_PLUGIN);         // getName "Exemple nommé", logs "exemple-nomme"
const QString plain = QStringLiteral(PLAIN_PLUGIN);         // logs "exemple"
const QString nameOnly = QStringLiteral(NAME_ONLY_LIBRARY); // getName only
const QString probe = QStringLiteral(PROBE_PLUGIN);         // logs "called"

QString pluginFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/plugins");
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
    QDir dir(pluginFolder());
    QVERIFY(dir.removeRecursively() && dir.mkpath(QStringLiteral(".")));
}

void TestPlugins::cleanup()
{
    m_window.reset();
    m_day.reset();
    QDir(pluginFolder()).removeRecursively();
}

bool TestPlugins::put(const Files& files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = pluginFolder() + QLatin1Char('/') + it.key();
        QFile::remove(path);
        if (!it.value().isEmpty() && !QFile::copy(it.value(), path))
            return false;
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
    const QString home = homePageUrl().toString();
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
    for (const QUrl& url : browser.opened)
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
