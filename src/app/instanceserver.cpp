// Claiming the instance socket and answering requests on it.
#include "instanceserver.h"

#include "cli/commandresult.h"
#include "cli/instancechannel.h"

#include <QLocalSocket>
#include <QLockFile>

namespace {

// A line longer than this is not a request of ours; the connection is dropped.
constexpr qint64 maxRequestBytes = 64 * 1024 * 1024;

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
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maxRequestBytes)
                    socket->abort();
                return;
            }
            const auto request = InstanceChannel::parseFrame(socket->readLine().trimmed());
            const QJsonObject reply = request
                ? m_handler(*request)
                : CommandResult::failure(QStringLiteral("corvalint: the request was not understood")).toJson();
            socket->write(InstanceChannel::frame(reply));
            socket->disconnectFromServer();
        });
    }
}
