// Reading a regular file and replacing one whole, with every error of the system checked.
#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using Failure = std::optional<QString>;

// As many links as the kernel follows in one path before it says ELOOP.
constexpr int maxLinkHops = 40;

// Closes a descriptor on every way out of a function.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

    /// Closes now and says whether that worked: some file systems (NFS)
    /// report a failed write only here. EINTR still released the descriptor.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

private:
    int m_fd;
};

struct Target {
    QByteArray path;
    bool exists = false;
    struct stat status = {};
};

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// The text of a symbolic link, or nothing with errno set.
std::optional<QByteArray> readLink(const QByteArray &link, off_t sizeHint)
{
    QByteArray text(qsizetype(std::max<off_t>(sizeHint, 0)) + 1, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::readlink(link.constData(), text.data(), size_t(text.size()));
        if (n < 0)
            return std::nullopt;
        if (n < text.size()) {
            text.truncate(n);
            return text;
        }
        // The link changed since lstat() or reports no size (/proc): try a larger buffer.
        text.resize(text.size() * 2);
    }
}

// The path with its folder resolved by the kernel, so that two spellings of
// one place compare equal even while the file itself does not exist yet.
QByteArray comparable(const QByteArray &path)
{
    QByteArray absolute = path.startsWith('/') ? path : QFile::encodeName(QDir::currentPath()) + '/' + path;
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(folderOf(absolute).constData(), nullptr), &std::free);
    if (!resolved)
        return absolute;
    QByteArray folder(resolved.get());
    if (!folder.endsWith('/'))
        folder += '/';
    return folder + nameOf(absolute);
}

// Follows the symbolic links of `path` that are our own to the name they
// finally lead to; that name is what gets checked and replaced.
Failure resolve(const QByteArray &path, Target *target)
{
    QByteArray current = path;
    for (int hops = 0;; ++hops) {
        struct stat status = {};
        if (::lstat(current.constData(), &status) != 0) {
            if (errno != ENOENT)
                return SafeFile::reason(errno);
            *target = { current, false, {} };
            return std::nullopt;
        }
        if (!S_ISLNK(status.st_mode)) {
            *target = { current, true, status };
            return std::nullopt;
        }
        // Someone else's link where we write (a shared /tmp) would send our
        // file wherever its owner likes; our own is a choice the user made.
        if (status.st_uid != ::geteuid())
            return QStringLiteral("Ziel ist eine Verknüpfung eines anderen Benutzers");
        if (hops >= maxLinkHops)
            return SafeFile::reason(ELOOP);
        const std::optional<QByteArray> link = readLink(current, status.st_size);
        if (!link)
            return SafeFile::reason(errno);
        current = link->startsWith('/') ? *link : folderOf(current) + '/' + *link;
    }
}

// The store and its journal may be named any way: by another spelling, a
// link, a hard link. The same file (device and inode) or the same resolved
// name counts; the name catches a journal that SQLite has not made yet.
bool isProtected(const Target &target, const QStringList &protectedPaths)
{
    const QByteArray where = comparable(target.path);
    for (const QString &protectedPath : protectedPaths) {
        if (protectedPath.isEmpty())
            continue;
        const QByteArray native = QFile::encodeName(protectedPath);
        struct stat status = {};
        if (target.exists && ::stat(native.constData(), &status) == 0 && status.st_dev == target.status.st_dev
            && status.st_ino == target.status.st_ino)
            return true;
        if (comparable(native) == where)
            return true;
    }
    return false;
}

Failure checkTarget(const Target &target, const QStringList &protectedPaths)
{
    if (nameOf(target.path).isEmpty())
        return QStringLiteral("Kein Dateiname");
    if (target.exists && S_ISDIR(target.status.st_mode))
        return QStringLiteral("Ziel ist ein Ordner");
    // Writing "into" a pipe, device or socket is no backup, and replacing one
    // would break whatever uses it.
    if (target.exists && !S_ISREG(target.status.st_mode))
        return QStringLiteral("Ziel ist keine normale Datei");
    if (isProtected(target, protectedPaths))
        return QStringLiteral("Ziel ist die Datenbank von Corvalint");
    return std::nullopt;
}

// A new file beside the target; O_EXCL so that nothing already there (a file,
// a planted link) is ever opened instead. Starts with a dot to stay out of sight.
int createTemporary(int folder, const QByteArray &name, QByteArray *temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = '.' + name.left(200) + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd
            = ::openat(folder, temporary->constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The old file's permission bits, and its owner where we may set it (root
// exporting into a user's folder should not leave a file the user cannot read).
Failure keepPermissions(int fd, const struct stat &old)
{
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid) != 0
        && errno != EPERM)
        return SafeFile::reason(errno);
    // After fchown, which clears set-id bits; fchmod is not subject to the umask.
    if (::fchmod(fd, old.st_mode & 0777) != 0)
        return SafeFile::reason(errno);
    return std::nullopt;
}

// write() may take part of the text, and reports a full disk, a quota or the
// file size limit only for the call that reaches it.
Failure writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return SafeFile::reason(errno);
        }
        if (n == 0)
            return SafeFile::reason(EIO);
        data += n;
        left -= n;
    }
    return std::nullopt;
}

// Reads the new file back and compares it: only a file known to hold the
// whole text may replace the old one.
Failure compareWith(int fd, const QByteArray &bytes)
{
    const QString differs = QStringLiteral("Geschriebene Datei stimmt nicht mit dem Inhalt überein");
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return SafeFile::reason(errno);
    if (status.st_size != bytes.size())
        return differs;
    QByteArray chunk(qsizetype(64) * 1024, Qt::Uninitialized);
    qint64 offset = 0;
    while (offset < bytes.size()) {
        const size_t wanted = size_t(std::min<qint64>(chunk.size(), bytes.size() - offset));
        const ssize_t n = ::pread(fd, chunk.data(), wanted, off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return SafeFile::reason(errno);
        }
        if (n == 0 || std::memcmp(chunk.constData(), bytes.constData() + offset, size_t(n)) != 0)
            return differs;
        offset += n;
    }
    return std::nullopt;
}

// Fills the new file completely; it replaces nothing yet.
Failure fill(Descriptor &file, const Target &target, const QByteArray &bytes)
{
    if (target.exists) {
        if (Failure failure = keepPermissions(file.get(), target.status))
            return failure;
    }
    if (Failure failure = writeAll(file.get(), bytes))
        return failure;
    if (::fsync(file.get()) != 0)
        return SafeFile::reason(errno);
    if (Failure failure = compareWith(file.get(), bytes))
        return failure;
    if (!file.close())
        return SafeFile::reason(errno);
    return std::nullopt;
}

Failure replaceTarget(const Target &target, const QByteArray &bytes)
{
    const QByteArray name = nameOf(target.path);
    const Descriptor folder(::open(folderOf(target.path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        return SafeFile::reason(errno);
    QByteArray temporary;
    Descriptor file(createTemporary(folder.get(), name, &temporary));
    if (!file.valid())
        return SafeFile::reason(errno);
    Failure failure = fill(file, target, bytes);
    if (!failure && ::renameat(folder.get(), temporary.constData(), folder.get(), name.constData()) != 0)
        failure = SafeFile::reason(errno);
    if (failure) {
        ::unlinkat(folder.get(), temporary.constData(), 0);
        return failure;
    }
    // The rename is durable only once the folder is; a file system that
    // cannot sync folders says EINVAL and has nothing more to do.
    if (::fsync(folder.get()) != 0 && errno != EINVAL)
        return QStringLiteral("Datei ersetzt, aber nicht sicher gespeichert: ") + SafeFile::reason(errno);
    return std::nullopt;
}
} // namespace

SafeFile::ReadResult SafeFile::read(const QString &path, qint64 maxBytes)
{
    // O_NONBLOCK: opening a pipe waits for a writer otherwise, forever if none
    // comes. O_NOCTTY: a terminal must not become ours. Everything after this
    // looks at the descriptor, so a path swapped meanwhile changes nothing.
    const Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            return { ReadStatus::NotFound, {} };
        case ENXIO: // a socket
        case ENODEV: // a device without a driver
            return { ReadStatus::NotRegular, {} };
        default:
            return { ReadStatus::Unreadable, {} };
        }
    }
    struct stat status = {};
    if (::fstat(fd.get(), &status) != 0)
        return { ReadStatus::Unreadable, {} };
    if (!S_ISREG(status.st_mode))
        return { ReadStatus::NotRegular, {} };
    if (status.st_size > maxBytes)
        return { ReadStatus::TooLarge, {} };
    QByteArray bytes(qsizetype(status.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // One byte more than allowed tells a file that grew since fstat().
            if (filled > maxBytes)
                break;
            bytes.resize(qsizetype(std::min<qint64>(qint64(filled) * 2, maxBytes + 1)));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + filled, size_t(bytes.size() - filled));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return { ReadStatus::Unreadable, {} };
        }
        if (n == 0)
            break;
        filled += n;
    }
    bytes.truncate(filled);
    if (filled > maxBytes)
        return { ReadStatus::TooLarge, {} };
    return { ReadStatus::Ok, bytes };
}

bool SafeFile::replace(const QString &path, const QByteArray &bytes, const QStringList &protectedPaths, QString *error)
{
    Target target;
    Failure failure = resolve(QFile::encodeName(path), &target);
    if (!failure)
        failure = checkTarget(target, protectedPaths);
    if (!failure)
        failure = replaceTarget(target, bytes);
    if (failure && error)
        *error = *failure;
    return !failure;
}

QString SafeFile::reason(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("Kein Speicherplatz auf dem Gerät");
    case EDQUOT:
        return QStringLiteral("Speicherkontingent überschritten");
    case EFBIG:
        return QStringLiteral("Datei überschreitet die erlaubte Größe");
    case EACCES:
    case EPERM:
        return QStringLiteral("Keine Berechtigung");
    case EROFS:
        return QStringLiteral("Dateisystem ist schreibgeschützt");
    case ENOENT:
        return QStringLiteral("Ordner nicht gefunden");
    case ENOTDIR:
        return QStringLiteral("Ein Teil des Pfads ist kein Ordner");
    case ENAMETOOLONG:
        return QStringLiteral("Dateiname ist zu lang");
    case ELOOP:
        return QStringLiteral("Zu viele symbolische Verknüpfungen");
    case EIO:
        return QStringLiteral("Ein-/Ausgabefehler");
    case EBUSY:
        return QStringLiteral("Datei ist belegt");
    default:
        return qt_error_string(errorNumber);
    }
}
