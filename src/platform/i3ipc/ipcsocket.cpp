// A connection to the window manager's IPC socket: a Unix stream socket owned by this object, with every
// read and write bounded in time and size.
#include "ipcsocket.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr qsizetype readChunk = 64 * 1024;

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

int remainingMs(qint64 deadline)
{
    const qint64 left = deadline - QDeadlineTimer::current().deadline();
    return int(std::clamp<qint64>(left, 0, 60000));
}

} // namespace

std::unique_ptr<IpcSocket> IpcSocket::connect(const QString &path, QString *error)
{
    const QByteArray native = path.toLocal8Bit();
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || size_t(native.size()) >= sizeof address.sun_path) {
        *error = QStringLiteral("the IPC socket path \"%1\" is empty or too long").arg(path);
        return nullptr;
    }
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = systemError("socket");
        return nullptr;
    }
    // Connecting to a local socket completes or fails at once, even without blocking.
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        *error = QStringLiteral("cannot connect to %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<IpcSocket>(new IpcSocket(fd, path));
}

IpcSocket::IpcSocket(int fd, QString path)
    : m_fd(fd)
    , m_path(std::move(path))
{
}

IpcSocket::~IpcSocket()
{
    breakOff();
}

void IpcSocket::breakOff()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool IpcSocket::writeAll(const QByteArray &bytes, qint64 deadline, QString *error)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        // MSG_NOSIGNAL: a window manager that went away must not kill us with SIGPIPE.
        const ssize_t n = ::send(m_fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p { m_fd, POLLOUT, 0 };
            const int ready = ::poll(&p, 1, remainingMs(deadline));
            if (ready > 0 || (ready < 0 && errno == EINTR))
                continue;
            *error = ready == 0 ? QStringLiteral("the window manager did not take the request in time")
                                : systemError("poll");
            return false;
        }
        *error = systemError("send");
        return false;
    }
    return true;
}

bool IpcSocket::readSome(qint64 deadline, QString *error)
{
    if (deadline != 0) {
        pollfd p { m_fd, POLLIN, 0 };
        int ready = 0;
        do {
            ready = ::poll(&p, 1, remainingMs(deadline));
        } while (ready < 0 && errno == EINTR && remainingMs(deadline) > 0);
        if (ready == 0) {
            *error = QStringLiteral("the window manager did not answer in time");
            return false;
        }
        if (ready < 0) {
            *error = systemError("poll");
            return false;
        }
    }
    QByteArray chunk(readChunk, Qt::Uninitialized);
    const ssize_t n = ::recv(m_fd, chunk.data(), size_t(chunk.size()), 0);
    if (n > 0) {
        chunk.truncate(qsizetype(n));
        m_codec.append(chunk);
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return true;
    *error = n == 0 ? QStringLiteral("the window manager closed the IPC connection") : systemError("recv");
    return false;
}

std::optional<IpcMessage> IpcSocket::request(quint32 type, const QByteArray &payload, QString *error, int timeoutMs)
{
    if (broken()) {
        *error = QStringLiteral("the IPC connection is closed");
        return std::nullopt;
    }
    const qint64 deadline = QDeadlineTimer::current().deadline() + std::max(1, timeoutMs);
    if (!writeAll(IpcFrameCodec::encode(type, payload), deadline, error)) {
        breakOff();
        return std::nullopt;
    }
    while (true) {
        while (auto message = m_codec.next()) {
            if (message->isEvent()) {
                m_events.append(std::move(*message));
                continue;
            }
            if (message->type == type)
                return message;
            // A late reply to an earlier request that timed out cannot happen: a timeout breaks the connection.
        }
        if (m_codec.failed()) {
            *error = m_codec.error();
            breakOff();
            return std::nullopt;
        }
        if (!readSome(deadline, error)) {
            breakOff();
            return std::nullopt;
        }
    }
}

QList<IpcMessage> IpcSocket::readEvents()
{
    QString ignored;
    // Bounded: a socket that keeps delivering is read again on its next notification.
    for (int i = 0; i < 64 && !broken(); ++i) {
        const qsizetype before = m_codec.pending();
        if (!readSome(0, &ignored)) {
            breakOff();
            break;
        }
        if (m_codec.pending() == before)
            break;
    }
    while (auto message = m_codec.next()) {
        if (message->isEvent())
            m_events.append(std::move(*message));
    }
    if (m_codec.failed())
        breakOff();
    QList<IpcMessage> events;
    events.swap(m_events);
    return events;
}
