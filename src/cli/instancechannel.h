// The local socket through which a second start and the command line reach
// the running Corvalint: where it lives, and one request with its reply.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

/// Messages are one compact JSON object per line. Requests:
///   {"type": "activate"}                       bring the main window back
///   {"type": "store", "request": {...}}       run a store command (StoreCommands)
/// Every reply is a CommandResult as JSON.
class InstanceChannel
{
public:
    /// The folder holding the sockets: $XDG_RUNTIME_DIR, else the temp folder.
    static QString runtimeDirectory();

    /// The socket of the instance for this user, `display` and store folder.
    /// One Corvalint per user session (display); the store folder is part of
    /// the name so that instances on separate stores (tests) never meet.
    static QString socketPath(const QString &storeDirectory, const QString &display);

    /// The sockets of instances on this store, the one for `display` first,
    /// then those on other displays (the command line may run without one).
    static QStringList candidatePaths(const QString &storeDirectory, const QString &display);

    /// Sends `message` to the socket at `path` and waits, with the event loop
    /// running, for the reply. Nothing when nobody listens there (within
    /// `connectTimeoutMs`); `*answered` tells a refused connection (false) from
    /// a connection that gave no valid reply in `replyTimeoutMs` (true).
    static std::optional<QJsonObject> request(const QString &path, const QJsonObject &message,
                                              int connectTimeoutMs, int replyTimeoutMs,
                                              bool *connected = nullptr);

    /// One message as it travels: compact JSON and a newline.
    static QByteArray frame(const QJsonObject &message);
    /// The message in `line` (without its newline); nothing when it is not a JSON object.
    static std::optional<QJsonObject> parseFrame(const QByteArray &line);

    static QJsonObject activateMessage();
    static QJsonObject storeMessage(const QJsonObject &request);
};
