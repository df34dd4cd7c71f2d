// Refreshing a stored workspace from a new capture of the desktop: entries that are
// the same item take the new geometry, anything new is appended.
#pragma once

#include "model/entrydata.h"

#include <QList>

class Workspace;

/// Whether a stored entry and a captured one stand for the same item: two
/// applications with equal identifiers, two websites with equal addresses, or
/// files and folders (in any mix) with equal paths. Absent equals absent;
/// strings compare exactly; any other pair never matches.
bool isSameItem(const EntryData &stored, const EntryData &captured);

/// For each captured entry in order, the first stored entry that is the same
/// item takes its frame, size, monitor, full-screen and maximised state and
/// original screen bounds, and a website also its further tabs (nothing else
/// of it changes); a captured entry without a match is
/// appended and takes part in the matching of those after it. Stored entries
/// the capture did not find stay. `modifiedAt` and saving are the caller's.
void mergeCapturedEntries(Workspace &workspace, const QList<EntryData> &captured);
