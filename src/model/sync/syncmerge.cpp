// What one computer's store must change to agree with the files of the other computers: pure, without I/O.
#include "syncmerge.h"

#include "model/backup/backupwriter.h"

bool SyncMerge::isNewer(const WorkspaceData &candidate, const WorkspaceData &current)
{
    if (candidate.modifiedAt != current.modifiedAt)
        return candidate.modifiedAt > current.modifiedAt;
    // Two computers changed it within the same millisecond: both must keep the same one.
    return BackupWriter::workspaceObject(candidate) > BackupWriter::workspaceObject(current);
}

QHash<QUuid, QDateTime> SyncMerge::latestDeletions(const QList<SyncTombstone> &tombstones)
{
    QHash<QUuid, QDateTime> latest;
    for (const SyncTombstone &tombstone : tombstones) {
        auto it = latest.find(tombstone.id);
        if (it == latest.end())
            latest.insert(tombstone.id, tombstone.deletedAt);
        else if (tombstone.deletedAt > *it)
            *it = tombstone.deletedAt;
    }
    return latest;
}

SyncChanges SyncMerge::changes(const QList<WorkspaceData> &local, const QList<SyncTombstone> &localTombstones,
    const QList<SyncFileContent> &others)
{
    QList<SyncTombstone> remoteTombstones;
    // The newest state of each workspace over all other computers, in the order first seen.
    QList<WorkspaceData> newest;
    QHash<QUuid, qsizetype> newestIndex;
    for (const SyncFileContent &file : others) {
        remoteTombstones += file.tombstones;
        for (const WorkspaceData &workspace : file.workspaces) {
            const auto it = newestIndex.constFind(workspace.id);
            if (it == newestIndex.cend()) {
                newestIndex.insert(workspace.id, newest.size());
                newest.append(workspace);
            } else if (isNewer(workspace, newest[*it])) {
                newest[*it] = workspace;
            }
        }
    }
    const QHash<QUuid, QDateTime> remoteDeletions = latestDeletions(remoteTombstones);
    const QHash<QUuid, QDateTime> allDeletions = latestDeletions(remoteTombstones + localTombstones);

    QHash<QUuid, const WorkspaceData *> here;
    for (const WorkspaceData &workspace : local)
        here.insert(workspace.id, &workspace);

    SyncChanges result;
    for (const WorkspaceData &workspace : std::as_const(newest)) {
        const auto deleted = allDeletions.constFind(workspace.id);
        // A deletion wins over every change made before it; a change made later brings the workspace back.
        if (deleted != allDeletions.cend() && workspace.modifiedAt <= *deleted)
            continue;
        const auto current = here.constFind(workspace.id);
        if (current == here.cend())
            result.added.append(workspace);
        else if (isNewer(workspace, **current))
            result.updated.append(workspace);
    }
    for (const WorkspaceData &workspace : local) {
        const auto deleted = remoteDeletions.constFind(workspace.id);
        if (deleted == remoteDeletions.cend() || workspace.modifiedAt > *deleted)
            continue;
        // Unless a newer state from a third computer came back after the deletion.
        const auto incoming = newestIndex.constFind(workspace.id);
        if (incoming != newestIndex.cend() && newest[*incoming].modifiedAt > *deleted)
            continue;
        result.removed.append(workspace.id);
    }
    return result;
}
