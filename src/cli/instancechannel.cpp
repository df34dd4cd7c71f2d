// Naming the instance socket and sending one request over it.
#include "instancechannel.h"

#include "instancehint.h"
#include "localconnection.h"
#include "peercredentials.h"
#include "platform/linux/privatedirectory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>
#include <ctime>
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
    return QString::fromLatin1(QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
}

constexpr int takenGraceMs = 1000;
// A reply holds a command's whole output (a list of thousands of workspaces as JSON).
constexpr qsizetype maxReplyBytes = 256 * 1024 * 1024;

// Both ends read the same clock: the monotonic clock is one for the whole
// system and does not jump when the wall clock is set.
qint64 monotonicMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

QString namePrefix()
{
    return QString::fromStdString(InstanceHint::socketNamePrefix());
}

QString nameSuffix()
{
    return QLatin1String(InstanceHint::socketNameSuffix);
}

} // namespace

QString InstanceChannel::runtimeDirectory(QString *error)
{
    // The session's runtime folder is private by definition; anything else
    // is checked, because a predictable name in a shared folder can be taken
    // by another local user first.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && PrivateDirectory::isPrivate(runtime))
        return runtime;
    QStringList problems;
    const QString inTemp = QDir::tempPath() + QStringLiteral("/corvalint-%1").arg(::getuid());
    QString problem;
    if (PrivateDirectory::ensure(inTemp, &problem))
        return inTemp;
    problems << problem;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty()) {
        const QString inCache = cache + QStringLiteral("/corvalint-run");
        QDir().mkpath(cache);
        if (PrivateDirectory::ensure(inCache, &problem))
            return inCache;
        problems << problem;
    }
    if (error)
        *error = problems.join(QLatin1String("; "));
    return {};
}

QString InstanceChannel::socketPath(const QString &storeDirectory, const QString &display)
{
    const QString directory = runtimeDirectory();
    if (directory.isEmpty())
        return {};
    return directory + QLatin1Char('/') + namePrefix() + sanitizedDisplay(display) + QLatin1Char('-')
        + storeKey(storeDirectory) + nameSuffix();
}

QStringList InstanceChannel::candidatePaths(const QString &storeDirectory, const QString &display)
{
    QStringList paths;
    const QString directory = runtimeDirectory();
    if (directory.isEmpty())
        return paths;
    if (!display.isEmpty())
        paths << socketPath(storeDirectory, display);
    const QString pattern = namePrefix() + QStringLiteral("*-") + storeKey(storeDirectory) + nameSuffix();
    const QDir dir(directory);
    const QStringList names = dir.entryList({ pattern }, QDir::System | QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (!paths.contains(path))
            paths << path;
    }
    return paths;
}

InstanceChannel::Reply InstanceChannel::request(const QString &path, const QJsonObject &message, const Bounds &bounds)
{
    Reply reply;
    if (path.isEmpty())
        return reply;
    LocalConnection connection;
    if (!connection.connectTo(path, bounds.connectMs))
        return reply;
    // Captured frames and paths go to our own user's instance only.
    if (!PeerCredentials::isSameUser(connection.descriptor()))
        return reply;

    const auto waitForLine = [&](int milliseconds) -> std::optional<QJsonObject> {
        const std::optional<QByteArray> line = connection.readLine(milliseconds, maxReplyBytes);
        return line ? parseFrame(line->trimmed()) : std::nullopt;
    };
    QJsonObject stamped = message;
    stamped[QLatin1String("deadline")] = double(monotonicMs() + bounds.acceptMs);
    // A little longer than the deadline itself: a request taken just before
    // it must not be reported as dropped.
    reply.status = Reply::Status::notTaken;
    if (!connection.writeAll(frame(stamped), bounds.acceptMs))
        return reply;
    const std::optional<QJsonObject> first = waitForLine(bounds.acceptMs + takenGraceMs);
    if (!first)
        return reply;
    if (!first->value(QLatin1String("taken")).toBool()) {
        reply.status = Reply::Status::answered;
        reply.result = *first;
        return reply;
    }
    reply.status = Reply::Status::noResult;
    if (const std::optional<QJsonObject> result = waitForLine(bounds.resultMs)) {
        reply.status = Reply::Status::answered;
        reply.result = *result;
    }
    return reply;
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

bool InstanceChannel::isStillWanted(const QJsonObject &message)
{
    const QJsonValue deadline = message.value(QLatin1String("deadline"));
    // A request without a deadline comes from a sender that waits for good.
    return !deadline.isDouble() || monotonicMs() <= qint64(deadline.toDouble());
}

QJsonObject InstanceChannel::takenMessage()
{
    return { { QStringLiteral("taken"), true } };
}

QJsonObject InstanceChannel::activateMessage()
{
    return { { QStringLiteral("type"), QStringLiteral("activate") } };
}

QJsonObject InstanceChannel::storeMessage(const QJsonObject &request)
{
    return { { QStringLiteral("type"), QStringLiteral("store") }, { QStringLiteral("request"), request } };
}

QJsonObject InstanceChannel::captureMessage(const QJsonObject &request)
{
    return { { QStringLiteral("type"), QStringLiteral("capture") }, { QStringLiteral("request"), request } };
}

QString InstanceChannel::unansweredText(Reply::Status status, const Bounds &bounds)
{
    if (status == Reply::Status::notTaken)
        return QStringLiteral("corvalint: the running Corvalint did not take the request within %1 s (it is busy or "
                              "frozen); nothing was changed")
            .arg(bounds.acceptMs / 1000.0);
    return QStringLiteral("corvalint: the running Corvalint took the request but gave no result within %1 s; whether "
                          "it was carried out is unknown (see corvalint list)")
        .arg(bounds.resultMs / 1000.0);
}
