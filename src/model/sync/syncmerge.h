// What one computer's store must change to agree with the files of the other computers: pure, without I/O.
#pragma once

#include "syncfile.h"

#include <QHash>
#include <QList>
#include <QUuid>

struct SyncChanges {
    /// Workspaces this store does not hold, to add.
    QList<WorkspaceData> added;
    /// Workspaces this store holds in an older state, to replace whole.
    QList<WorkspaceData> updated;
    /// Workspaces another computer deleted after their last change here.
    QList<QUuid> removed;

    bool isEmpty() const { return added.isEmpty() && updated.isEmpty() && removed.isEmpty(); }
};

namespace SyncMerge {

/// Whether `candidate` wins over `current` of the same id: the later
/// `modifiedAt`; at the same moment the larger file text, so that every
/// computer picks the same one.
bool isNewer(const WorkspaceData &candidate, const WorkspaceData &current);

/// The newest deletion time of each id over all `tombstones`.
QHash<QUuid, QDateTime> latestDeletions(const QList<SyncTombstone> &tombstones);

/// The changes that bring `local` up to the other computers' files: a
/// workspace is added or updated by id when it is newer than the one here
/// and not deleted later than its last change (by any computer, this one
/// included through `localTombstones`); a workspace here is removed when
/// another computer deleted it at or after its last change here.
SyncChanges changes(const QList<WorkspaceData> &local, const QList<SyncTombstone> &localTombstones,
    const QList<SyncFileContent> &others);

} // namespace SyncMerge
