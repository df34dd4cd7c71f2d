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
///   {"type": "capture", "request": {...}}     the same after adding the instance's desktop as
///                                             the request's "entries" (a capture or an update)
/// Each request also names a "deadline" (milliseconds of the system's
/// monotonic clock) after which the instance must not start it. The instance
/// first answers {"taken": true}, then the result, a CommandResult as JSON.
class InstanceChannel
{
public:
    /// How long one request may take at each of its steps.
    struct Bounds {
        int connectMs = 1000;
        /// The running instance must take the request within this time, or it
        /// never carries it out: the request names this deadline, and the
        /// instance drops a request whose deadline has passed.
        int acceptMs = 5000;
        /// Once taken, how long the result may take.
        int resultMs = 30000;
    };

    struct Reply {
        enum class Status {
            /// Nobody listens at the path (or the socket belongs to another user).
            noInstance,
            /// Someone listens but did not take the request in time; it will
            /// not be carried out.
            notTaken,
            /// The request was taken, but its result did not come in time:
            /// it may or may not have been carried out.
            noResult,
            answered,
        };
        Status status = Status::noInstance;
        QJsonObject result;
    };

    /// The folder holding the sockets, private to this user: $XDG_RUNTIME_DIR,
    /// else a 0700 folder of ours in the temp folder, else one in the cache
    /// folder. Empty, with `error`, when none can be made safe.
    static QString runtimeDirectory(QString *error = nullptr);

    /// The socket of the instance for this user, `display` and store folder.
    /// One Corvalint per user session (display); the store folder is part of
    /// the name so that instances on separate stores (tests) never meet.
    static QString socketPath(const QString &storeDirectory, const QString &display);

    /// The sockets of instances on this store, the one for `display` first,
    /// then those on other displays (the command line may run without one).
    static QStringList candidatePaths(const QString &storeDirectory, const QString &display);

    /// Sends `message` to the socket at `path` and waits, with the event loop
    /// running, first for the instance to take it, then for its result. A
    /// socket whose other end runs as another user is never written to.
    static Reply request(const QString &path, const QJsonObject &message, const Bounds &bounds);

    /// One message as it travels: compact JSON and a newline.
    static QByteArray frame(const QJsonObject &message);
    /// The message in `line` (without its newline); nothing when it is not a JSON object.
    static std::optional<QJsonObject> parseFrame(const QByteArray &line);

    /// Whether the instance may still start `message`: false once the
    /// deadline its sender gave has passed (the sender has given up).
    static bool isStillWanted(const QJsonObject &message);
    /// The line with which the instance says that it took a request.
    static QJsonObject takenMessage();

    static QJsonObject activateMessage();
    static QJsonObject storeMessage(const QJsonObject &request);
    static QJsonObject captureMessage(const QJsonObject &request);

    /// The error line for a request that got no answer (`status` is not `answered`).
    static QString unansweredText(Reply::Status status, const Bounds &bounds);
};
