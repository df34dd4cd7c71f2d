// Refreshing a stored workspace from a new capture of the desktop: matching
// entries take the new geometry, new windows are appended.
#pragma once

#include "model/entrydata.h"

#include <QDateTime>
#include <QList>

class Workspace;

/// Whether a stored entry and a captured one stand for the same item: both
/// applications with equal identifiers, both websites with equal addresses, or
/// files and folders (in any mix) with equal paths. Absent equals absent;
/// strings compare exactly; any other pair never matches.
bool isSameItem(const EntryData &stored, const EntryData &captured);

/// Copies the geometry and monitor fields (frame, size, monitor, full screen,
/// original screen bounds) from `captured` into `stored`; nothing else changes.
void copyPlacement(EntryData &stored, const EntryData &captured);

/// The update from the desktop on plain data: for each captured entry in order
/// the first stored entry that is the same item gets its placement, otherwise
/// the captured entry is appended and takes part in later matching. Entries the
/// capture no longer finds stay as they are.
QList<EntryData> mergeCapturedEntries(QList<EntryData> stored, const QList<EntryData> &captured);

/// The same merge applied to a record in place (existing entry objects are
/// kept, so views bound to them follow), then `modifiedAt` := `now`. Saving is
/// the caller's.
void mergeCapturedEntries(Workspace &workspace, const QList<EntryData> &captured, const QDateTime &now);
