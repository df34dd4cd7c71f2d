// Looking for instance sockets without Qt.
#include "instancehint.h"

#include "platform/linux/privatedirectorycheck.h"

#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

/// The folders InstanceChannel::runtimeDirectory may choose: the session's runtime folder when it is private,
/// else the fallbacks. A folder too many costs only the capture program's start, one too few the request to
/// the running Corvalint (the command then captures by itself).
std::vector<std::string> candidateFolders()
{
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (!runtime.empty() && !PrivateDirectory::problem(runtime.c_str()))
        return { runtime };
    std::vector<std::string> folders;
    const std::string temp = environment("TMPDIR");
    folders.push_back((temp.empty() ? std::string("/tmp") : temp) + "/corvalint-" + std::to_string(::getuid()));
    const std::string cache = environment("XDG_CACHE_HOME");
    if (cache.starts_with('/'))
        folders.push_back(cache + "/corvalint-run");
    else if (const std::string home = environment("HOME"); !home.empty())
        folders.push_back(home + "/.cache/corvalint-run");
    return folders;
}

bool holdsSocket(const std::string &folder, const std::string &prefix)
{
    const std::unique_ptr<DIR, int (*)(DIR *)> directory(::opendir(folder.c_str()), &::closedir);
    if (!directory)
        return false;
    constexpr std::string_view suffix = InstanceHint::socketNameSuffix;
    while (const dirent *entry = ::readdir(directory.get())) {
        const std::string_view name = entry->d_name;
        if (name.starts_with(prefix) && name.ends_with(suffix))
            return true;
    }
    return false;
}

} // namespace

namespace InstanceHint {

std::string socketNamePrefix()
{
    return "corvalint-" + std::to_string(::getuid()) + "-";
}

bool mayBeListening()
{
    const std::string prefix = socketNamePrefix();
    for (const std::string &folder : candidateFolders()) {
        if (holdsSocket(folder, prefix))
            return true;
    }
    return false;
}

} // namespace InstanceHint
