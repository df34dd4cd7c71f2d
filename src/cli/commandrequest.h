// What a command asks of the store, and how its result reaches the terminal: the same whether the command
// runs here or in the running Corvalint.
#pragma once

#include "commanddefinition.h"
#include "commandresult.h"

#include <QJsonObject>
#include <QTextStream>

namespace CommandRequest {

/// The store request of `spec` with `args` (see StoreCommands); a capture's entries are added by whoever reads
/// the desktop (CaptureRequest).
QJsonObject forStore(const CommandDefinition &spec, const CommandArguments &args);

/// Prints `result` (its output as JSON text when `jsonOutput`) and gives its exit code.
int print(const CommandResult &result, QTextStream &out, QTextStream &err, bool jsonOutput = false);

} // namespace CommandRequest
