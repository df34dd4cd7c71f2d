// `corvalint launcher`: asks the running Corvalint to open its quick launcher (what a desktop's own shortcut runs).
#pragma once

#include <QJsonObject>
#include <QTextStream>

namespace LauncherCommand {

/// The message the running instance answers by opening the launcher.
QJsonObject message();
/// 0 when the running Corvalint opened its launcher; 1 with a line on `err` otherwise.
int run(QTextStream &out, QTextStream &err);

} // namespace LauncherCommand
