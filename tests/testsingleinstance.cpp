// One clock per conf.ini, between real processes of the program on the real
// desktop.

#include "app/singleinstance.h"
#include "support/temporaryconfiguration.h"
#include "support/xdesktop.h"

#include <QtTest>

#include <csignal>
#include <memory>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_conf = std::make_unique<TemporaryConfiguration>();
        QVERIFY(QFile::copy(QStringLiteral(CLEPSA_BINARY), program()));
    }
    void cleanup()
    {
        for (QProcess* clock : findChildren<QProcess*>()) {
            clock->kill();
            clock->waitForFinished();
            delete clock;
        }
        m_conf.reset();
    }

    void aSecondStartShowsTheFirstClock()
    {
        // The first one starts in the tray.
        QVERIFY(m_conf->write("[General]\npremier_demarrage=false\n[demarrage]\nreduire=true\n"));
        QProcess* first = start();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket()), 10000);
        QVERIFY(!xdesktop::shownWindow(first->processId(), "Clepsa"));
        const QByteArray stored = m_conf->contents();

        QProcess* second = start();
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(xdesktop::shownWindow(first->processId(), "Clepsa"), 10000);
        QCOMPARE(m_conf->contents(), stored);

        // Killed, the first leaves its socket behind; the next clock takes it
        // over, and a start after it hands over to it in turn.
        ::kill(pid_t(first->processId()), SIGKILL);
        QVERIFY(first->waitForFinished(10000));
        QVERIFY(QFile::exists(socket()));
        QVERIFY(m_conf->write("[General]\npremier_demarrage=false\n"));
        QProcess* third = start();
        QTRY_VERIFY_WITH_TIMEOUT(xdesktop::shownWindow(third->processId(), "Clepsa"), 10000);
        QProcess* fourth = start();
        QVERIFY(fourth->waitForFinished(10000));
        QCOMPARE(fourth->exitCode(), 0);
        QCOMPARE(third->state(), QProcess::Running);
    }

    void copiesInOtherFoldersStayApart()
    {
        QCOMPARE_NE(SingleInstance::serverName("/a/conf.ini"), SingleInstance::serverName("/b/conf.ini"));
        QCOMPARE(SingleInstance::serverName("/a/conf.ini"), SingleInstance::serverName("/a/../a/conf.ini"));
    }

private:
    QString program() const { return m_conf->dirPath() + "/clepsa"; }
    QString socket() const { return QDir::temp().filePath(SingleInstance::serverName(m_conf->path())); }
    QProcess* start()
    {
        auto* clock = new QProcess(this);
        clock->setWorkingDirectory(m_conf->dirPath());
        clock->start(program(), {});
        return clock->waitForStarted() ? clock : nullptr;
    }

    std::unique_ptr<TemporaryConfiguration> m_conf;
};

QTEST_MAIN(TestSingleInstance)
#include "testsingleinstance.moc"
