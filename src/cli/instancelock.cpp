// Taking and releasing the store directory's writer lock with flock(2).
#include "instancelock.h"

#include <QDir>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing releases the lock
}

QString InstanceLock::fileName()
{
    return QStringLiteral("corvalint.lock");
}

bool InstanceLock::acquire(const QString &storeDirectory, int waitMs, QString *error)
{
    if (m_fd != -1)
        return true;
    QDir().mkpath(storeDirectory);
    const QByteArray path = QDir(storeDirectory).filePath(fileName()).toLocal8Bit();
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        // A store folder we may not write: flock works on a descriptor opened for reading too.
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0 && errno == ENOENT) {
            // Nobody of ours can create it, so nobody of ours writes this store either: nothing to guard.
            m_fd = unguarded;
            return true;
        }
    }
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2")
                         .arg(QString::fromLocal8Bit(path), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    constexpr int stepMs = 50;
    for (int waited = 0;; waited += stepMs) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return true;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= waitMs)
            break;
        QThread::msleep(stepMs);
    }
    if (error)
        *error = errno == EWOULDBLOCK ? QStringLiteral("another Corvalint holds the store")
                                      : QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return false;
}
