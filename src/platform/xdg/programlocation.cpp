// Where Corvalint's programs lie, relative to each other.
#include "programlocation.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isProgram(const std::filesystem::path &path)
{
    struct stat status {
    };
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

/// The first of `relativeFolders`, seen from the folder that holds `programPath`, that holds the program `name`.
std::string findBeside(
    const std::string &programPath, const char *name, std::initializer_list<const char *> relativeFolders)
{
    // Without knowing where the program lies, nothing is looked for (least of all in the working folder).
    if (programPath.empty())
        return {};
    std::error_code failed;
    const std::filesystem::path folder = std::filesystem::absolute(programPath, failed).parent_path();
    if (failed)
        return {};
    // Relative, so that an installation moved as a whole (a package unpacked
    // into a folder, a prefix of the user's own) still finds its other parts.
    for (const char *relative : relativeFolders) {
        const std::filesystem::path candidate = (folder / relative / name).lexically_normal();
        if (isProgram(candidate))
            return candidate.string();
    }
    return {};
}

} // namespace

namespace ProgramLocation {

std::string programFor(const std::string &programPath, const char *name)
{
    return findBeside(programPath, name, { ".", CORVALINT_WINDOW_PROGRAM_FROM_BIN });
}

std::string commandFor(const std::string &programPath)
{
    return findBeside(programPath, "corvalint", { ".", CORVALINT_BIN_FROM_WINDOW_PROGRAM });
}

std::string runningProgram()
{
    char path[PATH_MAX];
    if (!::realpath("/proc/self/exe", path))
        return {};
    return path;
}

} // namespace ProgramLocation

int ProgramLocation::handOver(const char *name, const char *what, char **argv)
{
    const std::string self = runningProgram();
    const std::string program = programFor(self, name);
    if (program.empty()) {
        std::fprintf(stderr, "corvalint: the %s %s is not installed beside %s\n", what, name, self.c_str());
        return 1;
    }
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "corvalint: could not start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
