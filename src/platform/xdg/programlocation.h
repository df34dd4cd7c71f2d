// Where Corvalint's programs lie relative to each other, found without Qt so
// that the `corvalint` command can hand over before it loads any library.
#pragma once

#include <string>

namespace ProgramLocation {

/// The file names of the window program, the command program, the program
/// that asks the running Corvalint to capture, and the one for commands on the store alone.
inline constexpr char windowProgramName[] = "corvalint-gui";
inline constexpr char commandProgramName[] = "corvalint-command";
inline constexpr char captureProgramName[] = "corvalint-capture";
inline constexpr char storeProgramName[] = "corvalint-store";

/// The program named `name` that belongs to the program at `programPath`:
/// beside it (a build tree, or two programs in the libexec folder), else in the
/// installation's libexec folder seen from its bin folder. Empty when there is
/// neither.
std::string programFor(const std::string &programPath, const char *name);

/// The `corvalint` command that belongs to the program at `programPath`: beside
/// it, else in the bin folder seen from the libexec folder. Empty when there is neither.
std::string commandFor(const std::string &programPath);

/// The canonical path of the running program; empty when /proc does not tell.
std::string runningProgram();

/// Replaces the running process with our program `name` found beside it,
/// keeping the process id (the desktop backends recognise our own windows by
/// it) and every argument. Returns only when that failed, having told why on
/// stderr (`what` names the program there): the exit code to give.
int handOver(const char *name, const char *what, char **argv);

} // namespace ProgramLocation
