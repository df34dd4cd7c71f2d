// Creating and checking a per-user directory nobody else may enter.
#include "privatedirectory.h"

#include "privatedirectorycheck.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool checkStat(const QByteArray &native, QString *error)
{
    const char *problem = PrivateDirectory::problem(native.constData());
    if (problem && error)
        *error = QString::fromLocal8Bit(problem);
    return !problem;
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
