// The `corvalint` command on the PATH as the window program names it to the
// desktop (autostart entry, key bindings); where the programs lie relative to
// each other is ProgramLocation's.
#pragma once

#include <QString>

namespace ProgramFiles {

/// The `corvalint` command that belongs to the window program (or the command
/// program) at `windowProgramPath` (see ProgramLocation::commandFor), or
/// `windowProgramPath` itself when that is the command or no command is found:
/// what an autostart entry or a desktop key binding should run.
QString commandFor(const QString &windowProgramPath);

} // namespace ProgramFiles
