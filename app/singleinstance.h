#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// One clock per conf.ini. Two clocks on the same file would each write their
// items at the end and the last to quit would lose what the other made; so a
// second start hands over to the clock already running and goes.
//
// The clocks meet on a local socket named from the user and the absolute path
// of conf.ini: copies kept in different folders stay independent. A socket
// left behind by a clock that crashed is taken over.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& configurationFile);
    ~SingleInstance() override;

    // True when another clock runs on the same file and has been asked to
    // show itself: this one should end at once, writing nothing.
    bool handedOver() const { return m_handedOver; }

    // The socket's name, for a file.
    static QString serverName(const QString& configurationFile);

signals:
    // A later start asked this clock to come to the front.
    void activationRequested();

private:
    void readRequests();

    std::unique_ptr<QLocalServer> m_server;
    bool m_handedOver = false;
};
