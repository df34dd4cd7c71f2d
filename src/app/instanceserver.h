// The running Corvalint's end of the instance channel: it claims the socket
// once per user session and answers the second start and the command line.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <functional>

class InstanceServer : public QObject
{
    Q_OBJECT

public:
    /// Answers one request (see InstanceChannel); runs on the main thread.
    using Handler = std::function<QJsonObject(const QJsonObject &request)>;

    enum class Claim {
        /// This process is the instance now and listens.
        listening,
        /// Another process answers on the socket already.
        otherInstanceRuns,
        /// The socket could not be created; see the error.
        failed,
    };

    explicit InstanceServer(Handler handler, QObject *parent = nullptr);
    ~InstanceServer() override;

    /// Becomes the instance at `path` unless another process answers there. A
    /// socket file left behind by a crashed instance is replaced. Two processes
    /// starting at once are serialised by a lock file next to the socket.
    Claim claim(const QString &path, QString *error);

    QString path() const { return m_server.fullServerName(); }

private:
    void accept();
    void answer(QLocalSocket *socket);
    qint64 bufferedBytes() const;

    Handler m_handler;
    // Before the server: its connections are its children and leave this list as the server deletes them.
    QList<QLocalSocket *> m_connections;
    QLocalServer m_server;
};
