#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kShown = QByteArrayLiteral("shown\n");
constexpr int kHandOverTimeoutMs = 2000;
// How long a start waits for a clock that is ending to write its last save.
constexpr int kEndingClockTimeoutMs = 15000;

// Asks a clock listening on `name` to show itself; false when none listens,
// or when the one that took the request is ending and will not. A clock
// that is busy (a plug-in running) answers late, but will show itself.
bool askToShow(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kHandOverTimeoutMs))
        return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(kHandOverTimeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kHandOverTimeoutMs))
            return socket.state() == QLocalSocket::ConnectedState;
    }
    return socket.readLine() == kShown;
}

} // namespace

QString SingleInstance::serverName(const QString& configurationFile)
{
    const QString absolute = QFileInfo(configurationFile).absoluteFilePath();
    const QByteArray key = (QDir::homePath() + QLatin1Char('\n') + absolute).toUtf8();
    return QStringLiteral("clepsa-")
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
}

SingleInstance::SingleInstance(const QString& configurationFile)
{
    const QString name = serverName(configurationFile);
    // Two clocks started together must not both find no one and both listen:
    // the check and the listening happen under a lock, which a clock that
    // crashed holding it leaves stale and the next one takes over.
    const QDir temp(QDir::tempPath());
    QLockFile lock(temp.filePath(name + QStringLiteral(".lock")));
    if (!lock.tryLock(kHandOverTimeoutMs * 2 + kEndingClockTimeoutMs)) {
        qWarning("Clepsa : impossible de vérifier si une autre horloge est déjà lancée");
        return;
    }
    if (askToShow(name)) {
        m_handedOver = true;
        return;
    }
    // Held for hours: only a clock that is gone leaves it stale.
    m_running = std::make_unique<QLockFile>(temp.filePath(name + QStringLiteral(".running")));
    m_running->setStaleLockTime(0);
    if (!m_running->tryLock(kEndingClockTimeoutMs))
        qWarning("Clepsa : l'horloge précédente ne finit pas d'enregistrer ses réglages");
    // No one answers: whatever socket file is left is a crashed clock's.
    QLocalServer::removeServer(name);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        qWarning("Clepsa : %s", qPrintable(m_server->errorString()));
        m_server.reset();
        return;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::readRequests);
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::stopListening()
{
    // The requests not yet read go unanswered: their clocks take over.
    m_server.reset();
}

void SingleInstance::readRequests()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // The server owns the socket; it goes once the other side is done.
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto read = [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() != kShowRequest)
                    continue;
                emit activationRequested();
                socket->write(kShown);
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        // What came before the connection was made.
        read();
    }
}
