// Claiming the instance socket and answering requests on it.
#include "instanceserver.h"

#include "cli/commandresult.h"
#include "cli/instancechannel.h"
#include "cli/peercredentials.h"

#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

namespace {

// Bounds on what clients can make the instance hold: a request of ours is a
// few hundred kilobytes at most (a capture of many windows); anything larger,
// too many connections at once, or a connection that sends nothing, is dropped.
constexpr qint64 maxRequestBytes = 8 * 1024 * 1024;
constexpr qint64 maxBufferedBytes = 32 * 1024 * 1024;
constexpr int maxConnections = 16;
constexpr int idleLimitMs = 10000;

bool someoneAnswers(const QString &path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool connected = probe.waitForConnected(1000);
    probe.abort();
    return connected;
}

} // namespace

InstanceServer::InstanceServer(Handler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    // Only this user may talk to the instance.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer()
{
    m_server.close();
}

InstanceServer::Claim InstanceServer::claim(const QString &path, QString *error)
{
    if (path.isEmpty()) {
        *error = QStringLiteral("no private folder for the instance socket");
        return Claim::failed;
    }
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(5000)) {
        *error = QStringLiteral("cannot lock %1.lock").arg(path);
        return Claim::failed;
    }
    if (someoneAnswers(path))
        return Claim::otherInstanceRuns;
    // Nobody answers, so a socket file there is a leftover.
    QLocalServer::removeServer(path);
    if (!m_server.listen(path)) {
        *error = m_server.errorString();
        return Claim::failed;
    }
    return Claim::listening;
}

void InstanceServer::accept()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // The socket's folder is private already; the peer check also holds
        // where it could not be (and costs one system call).
        if (m_connections.size() >= maxConnections || !PeerCredentials::isSameUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_connections.append(socket);
        socket->setReadBufferSize(maxRequestBytes + 1);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.removeOne(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto *idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        idle->start(idleLimitMs);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, idle] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maxRequestBytes || bufferedBytes() > maxBufferedBytes) {
                    socket->abort();
                    socket->deleteLater();
                }
                return;
            }
            idle->stop();
            answer(socket);
        });
    }
}

qint64 InstanceServer::bufferedBytes() const
{
    qint64 total = 0;
    for (const QLocalSocket *socket : m_connections)
        total += socket->bytesAvailable();
    return total;
}

void InstanceServer::answer(QLocalSocket *socket)
{
    const auto request = InstanceChannel::parseFrame(socket->readLine().trimmed());
    if (request && !InstanceChannel::isStillWanted(*request)) {
        // The sender gave up and told its user that nothing happened: keep it true.
        socket->abort();
        socket->deleteLater();
        return;
    }
    socket->write(InstanceChannel::frame(InstanceChannel::takenMessage()));
    socket->flush();
    const QJsonObject reply = request
        ? m_handler(*request)
        : CommandResult::failure(QStringLiteral("corvalint: the request was not understood")).toJson();
    socket->write(InstanceChannel::frame(reply));
    socket->disconnectFromServer();
}
