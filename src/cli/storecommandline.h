// The commands on the store alone (list, delete, export, import): what the
// store program carries out without loading any desktop library.
#pragma once

#include "invocation.h"

#include <QJsonObject>
#include <QTextStream>

namespace StoreCommandLine {

/// Creates the Qt application object and runs the store command of `invocation`.
int exec(int &argc, char **argv, const Invocation &invocation);

/// Carries out `request` where the store has its one writer (the running
/// Corvalint, else here) and prints its result: the exit code.
int execute(const QJsonObject &request, QTextStream &out, QTextStream &err, bool jsonOutput = false);

} // namespace StoreCommandLine
