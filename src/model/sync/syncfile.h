// One computer's file in a sync folder: a backup file of its workspaces plus the ones it deleted.
#pragma once

#include "model/workspacedata.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

/// A workspace deleted on some computer, so that the deletion reaches the others.
struct SyncTombstone {
    QUuid id;
    QDateTime deletedAt;

    bool operator==(const SyncTombstone &) const = default;
};

struct SyncFileContent {
    QList<WorkspaceData> workspaces;
    QList<SyncTombstone> tombstones;
};

namespace SyncFile {

/// The file's suffix: the backup file's, so that any of them can also be imported by hand.
inline constexpr QLatin1String suffix { ".workspace" };
/// Every computer's file starts with this, so that other files in the folder are left alone.
inline constexpr QLatin1String prefix { "Corvalint-" };

/// The backup file text of the workspaces (docs/backup-format.md) with one
/// more top-level member, `deletedWorkspaces`: `[{"id": ..., "deletedAt": ...}]`.
/// Readers of backup files skip that member.
QByteArray serialize(const SyncFileContent &content);

/// Reads a file written by `serialize` (or a plain backup file: no deletions).
/// False with a German reason when the file is not complete and valid (a sync
/// engine may still be writing it); then `content` is untouched.
bool parse(const QByteArray &bytes, SyncFileContent &content, QString *error);

/// The file name of the computer with this name in the folder.
QString fileNameFor(const QString &computer);

} // namespace SyncFile
