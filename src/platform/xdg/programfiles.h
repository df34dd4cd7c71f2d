// Where Corvalint's programs lie: the `corvalint` command on the PATH, the
// window program it hands the tray, the window and the preview to, which alone
// loads Qt Quick and Qt Widgets, the capture program that asks the running
// Corvalint, and the command program it hands every other command to, which
// alone loads the desktop's and the store's libraries. Commands from key
// bindings and scripts start quickly because they load only what they use.
#pragma once

#include "programlocation.h"

#include <QString>

namespace ProgramFiles {

using ProgramLocation::captureProgramName;
using ProgramLocation::commandProgramName;
using ProgramLocation::windowProgramName;

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
