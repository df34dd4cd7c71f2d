// Where Corvalint's programs lie: the `corvalint` command on the PATH, the
// window program it hands the tray, the window and the preview to, which alone
// loads Qt Quick and Qt Widgets, and the command program it hands every command
// to that the running Corvalint does not carry out, which alone loads the
// desktop's and the store's libraries. Commands from key bindings and scripts
// start quickly because they load only what they use.
#pragma once

#include <QString>

namespace ProgramFiles {

/// The file names of the window program and the command program.
inline constexpr char windowProgramName[] = "corvalint-gui";
inline constexpr char commandProgramName[] = "corvalint-command";

/// The program named `name` that belongs to the command at `commandPath`:
/// beside it in a build tree, else in the installation's libexec folder.
/// Empty when there is neither.
QString programFor(const QString &commandPath, const char *name);
inline QString windowProgramFor(const QString &commandPath)
{
    return programFor(commandPath, windowProgramName);
}

/// The `corvalint` command that belongs to the window program (or the command
/// program) at `windowProgramPath` (the reverse of programFor), or
/// `windowProgramPath` itself when that is the command or no command is found:
/// what an autostart entry or a desktop key binding should run.
QString commandFor(const QString &windowProgramPath);

} // namespace ProgramFiles
