// One connection to a Unix socket, read and written with the event loop running.
#include "localconnection.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

LocalConnection::~LocalConnection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool LocalConnection::waitFor(Wait what, int timeoutMs)
{
    if (timeoutMs <= 0)
        return false;
    // The event loop keeps running while we wait, so an instance in this very process (the tests) can
    // answer too.
    QEventLoop loop;
    QSocketNotifier notifier(m_fd, what == Wait::readable ? QSocketNotifier::Read : QSocketNotifier::Write);
    bool ready = false;
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        ready = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return ready;
}

bool LocalConnection::connectTo(const QString &path, int timeoutMs)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || native.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0)
        return false;
    if (::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
        return true;
    // A listener whose backlog is full lets us wait for room; anything else means nobody listens.
    if (errno != EAGAIN && errno != EINPROGRESS)
        return false;
    if (!waitFor(Wait::writable, timeoutMs))
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

bool LocalConnection::writeAll(const QByteArray &data, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n = ::send(m_fd, data.constData() + written, size_t(data.size() - written), MSG_NOSIGNAL);
        if (n > 0) {
            written += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && waitFor(Wait::writable, timeoutMs - int(elapsed.elapsed())))
            continue;
        return false;
    }
    return true;
}

std::optional<QByteArray> LocalConnection::readLine(int timeoutMs, qsizetype maxLineBytes)
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = m_buffer.left(end);
            m_buffer.remove(0, end + 1);
            return line;
        }
        if (m_buffer.size() > maxLineBytes)
            return std::nullopt;
        char chunk[4096];
        const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            m_buffer.append(chunk, n);
            continue;
        }
        if (n == 0)
            return std::nullopt;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN || !waitFor(Wait::readable, timeoutMs - int(elapsed.elapsed())))
            return std::nullopt;
    }
}
