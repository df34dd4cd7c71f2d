// Checking a folder's owner and permissions.
#include "privatedirectorycheck.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

const char *PrivateDirectory::problem(const char *path)
{
    struct stat info {
    };
    if (::lstat(path, &info) != 0)
        return std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return "it is not a directory";
    if (info.st_uid != ::getuid())
        return "another user owns it";
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return "other users may enter it";
    return nullptr;
}
