// `corvalint gnome-extension install`: Corvalint's GNOME Shell extension for this user, switched on.
#pragma once

#include <QString>
#include <QTextStream>

namespace GnomeExtensionCommand {

/// Runs the subcommand `action` ("install"); the exit code (0 done, 1 failed, 2 unknown action).
int run(const QString &action, QTextStream &out, QTextStream &err);

} // namespace GnomeExtensionCommand
