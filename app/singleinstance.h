#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One clock per conf.ini. Two clocks on the same file would each write their
// items at the end and the last to quit would lose what the other made; so a
// second start hands over to the clock already running and goes.
//
// The clocks meet on a local socket named from the user and the absolute path
// of conf.ini: copies kept in different folders stay independent. A socket
// left behind by a clock that crashed is taken over.
//
// A clock that is ending stops listening first, and holds a lock file until
// its last save is written: a start in the meantime finds no one to hand
// over to, waits for that save, and becomes the clock, reading what it wrote.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& configurationFile);
    ~SingleInstance() override;

    // True when another clock runs on the same file and has been asked to
    // show itself: this one should end at once, writing nothing.
    bool handedOver() const { return m_handedOver; }

    // No later start hands over to this clock any more: it is ending.
    void stopListening();

    // The socket's name, for a file.
    static QString serverName(const QString& configurationFile);

signals:
    // A later start asked this clock to come to the front.
    void activationRequested();

private:
    void readRequests();

    std::unique_ptr<QLocalServer> m_server;
    // Held from the start to the last save.
    std::unique_ptr<QLockFile> m_running;
    bool m_handedOver = false;
};
