// Naming the instance socket and sending one request over it.
#include "instancechannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QTimer>

#include <unistd.h>

namespace {

QString sanitizedDisplay(const QString &display)
{
    QString name;
    for (const QChar c : display) {
        if (c.isLetterOrNumber() || c == QLatin1Char('.'))
            name += c;
    }
    return name.isEmpty() ? QStringLiteral("nodisplay") : name;
}

QString storeKey(const QString &storeDirectory)
{
    const QString canonical = QFileInfo(storeDirectory).absoluteFilePath();
    return QString::fromLatin1(
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
}

QString namePrefix()
{
    return QStringLiteral("corvalint-%1-").arg(::getuid());
}

} // namespace

QString InstanceChannel::runtimeDirectory()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

QString InstanceChannel::socketPath(const QString &storeDirectory, const QString &display)
{
    return runtimeDirectory() + QLatin1Char('/') + namePrefix() + sanitizedDisplay(display) + QLatin1Char('-')
        + storeKey(storeDirectory) + QStringLiteral(".socket");
}

QStringList InstanceChannel::candidatePaths(const QString &storeDirectory, const QString &display)
{
    QStringList paths;
    if (!display.isEmpty())
        paths << socketPath(storeDirectory, display);
    const QString pattern = namePrefix() + QStringLiteral("*-") + storeKey(storeDirectory) + QStringLiteral(".socket");
    const QDir dir(runtimeDirectory());
    const QStringList names = dir.entryList({pattern}, QDir::System | QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (!paths.contains(path))
            paths << path;
    }
    return paths;
}

std::optional<QJsonObject> InstanceChannel::request(const QString &path, const QJsonObject &message,
                                                     int connectTimeoutMs, int replyTimeoutMs, bool *connected)
{
    if (connected)
        *connected = false;
    QLocalSocket socket;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (socket.canReadLine())
            loop.quit();
    });
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);

    // The event loop keeps running while we wait, so an instance in this very
    // process (the tests) can answer too.
    socket.connectToServer(path);
    if (socket.state() != QLocalSocket::ConnectedState) {
        deadline.start(connectTimeoutMs);
        while (socket.state() == QLocalSocket::ConnectingState && deadline.isActive())
            loop.exec();
    }
    if (socket.state() != QLocalSocket::ConnectedState)
        return std::nullopt;
    if (connected)
        *connected = true;

    socket.write(frame(message));
    deadline.start(replyTimeoutMs);
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState && deadline.isActive())
        loop.exec();
    if (!socket.canReadLine())
        return std::nullopt;
    return parseFrame(socket.readLine().trimmed());
}

QByteArray InstanceChannel::frame(const QJsonObject &message)
{
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> InstanceChannel::parseFrame(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QJsonObject InstanceChannel::activateMessage()
{
    return {{QStringLiteral("type"), QStringLiteral("activate")}};
}

QJsonObject InstanceChannel::storeMessage(const QJsonObject &request)
{
    return {{QStringLiteral("type"), QStringLiteral("store")}, {QStringLiteral("request"), request}};
}
