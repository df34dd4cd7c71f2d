// A capture or an update carried out by the running Corvalint of this session, which has the desktop
// and the store open already: the command that asks it loads neither.
#pragma once

#include "instancechannel.h"
#include "invocation.h"

#include <QString>
#include <QTextStream>
#include <optional>

namespace InstanceCommand {

/// Whether the running instance can carry out `invocation` in full: a capture or an update of the session's
/// own desktop (no --desktop, no --log, no help).
bool handles(const Invocation &invocation);

/// Asks the instance on `display` and the store in `storeDirectory` and prints its result: the exit code,
/// or nothing when no instance there can do it (none runs, or one from before it could), so that the
/// caller does the command itself.
std::optional<int> run(const Invocation &invocation, const QString &storeDirectory, const QString &display,
    QTextStream &out, QTextStream &err, const InstanceChannel::Bounds &bounds = {});

} // namespace InstanceCommand
