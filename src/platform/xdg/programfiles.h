// Where Corvalint's two programs lie: the `corvalint` command on the PATH, and
// the window program it hands the tray, the window and the preview to, which
// alone loads Qt Quick and Qt Widgets. Commands from key bindings and scripts
// start quickly because they never load those.
#pragma once

#include <QString>

namespace ProgramFiles {

/// The file name of the window program.
inline constexpr char windowProgramName[] = "corvalint-gui";

/// The window program that belongs to the command at `commandPath`: beside it
/// in a build tree, else in the installation's libexec folder. Empty when
/// there is neither.
QString windowProgramFor(const QString &commandPath);

/// The `corvalint` command that belongs to the window program at
/// `windowProgramPath` (the reverse of windowProgramFor), or `windowProgramPath`
/// itself when that is the command or no command is found: what an autostart
/// entry or a desktop key binding should run.
QString commandFor(const QString &windowProgramPath);

} // namespace ProgramFiles
