// Reads the windows of a scenario, given by typed keys or by the old attribute keys ("AXTitle", "AXPosition", ...).
#pragma once

#include "simjsonreader.h"
#include "simtypes.h"

/// A window object uses one form: typed keys ("title", "frame", "kind",
/// "state", "desktop", "document") or attribute keys starting with "AX", which
/// SimTranslation::windowFromAttributes reads; "refusesWrites" goes with
/// either. An object without typed keys is read by the attribute rules.
namespace SimWindowReader {

/// One window; false, with the reader's message, when it is malformed.
bool read(SimJsonReader &reader, const QJsonValue &value, const QString &where, SimWindow *out);

/// An array of windows.
bool readList(SimJsonReader &reader, const QJsonValue &value, const QString &where, QList<SimWindow> *out);

} // namespace SimWindowReader
