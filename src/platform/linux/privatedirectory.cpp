// Creating and checking a per-user directory nobody else may enter.
#include "privatedirectory.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Checked through lstat so that a symbolic link is judged as itself, not as
// the directory it points to (another user may own the link in /tmp).
bool checkStat(const QByteArray &native, QString *error)
{
    struct stat info {
    };
    if (::lstat(native.constData(), &info) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const auto refuse = [error](const char *why) {
        if (error)
            *error = QString::fromLatin1(why);
        return false;
    };
    if (!S_ISDIR(info.st_mode))
        return refuse("it is not a directory");
    if (info.st_uid != ::getuid())
        return refuse("another user owns it");
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return refuse("other users may enter it");
    return true;
}

} // namespace

bool PrivateDirectory::isPrivate(const QString &path)
{
    return !path.isEmpty() && checkStat(path.toLocal8Bit(), nullptr);
}

bool PrivateDirectory::ensure(const QString &path, QString *error)
{
    const QByteArray native = path.toLocal8Bit();
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    QString why;
    if (!checkStat(native, &why)) {
        if (error)
            *error = QStringLiteral("%1 is not private: %2").arg(path, why);
        return false;
    }
    return true;
}
