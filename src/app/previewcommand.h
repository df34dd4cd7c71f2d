// A command run by the window program: as in the `corvalint` command, except
// that the preview can draw its overlay.
#pragma once

#include "cli/commandline.h"

namespace PreviewCommand {

/// Creates a GUI application object when there is a display to draw on (a
/// core one otherwise, and the preview then says why it cannot show), and runs
/// the command.
int exec(int &argc, char **argv, const Invocation &invocation);

/// Shows the overlay of `entries` on `desktop` until the user closes it; an
/// empty text, or why it was not shown.
QString show(const QList<EntryData> &entries, DesktopSession &desktop);

} // namespace PreviewCommand
