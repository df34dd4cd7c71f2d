// Reads workspace and entry rows out of a store file, forgiving whatever
// another program may have written into its columns.
#pragma once

#include "workspacedata.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QUuid>
#include <optional>

/// One workspace row with the store's own key for it.
struct StoredWorkspace {
    qint64 pk = 0;
    WorkspaceData data;
};

/// What the list views need to know about a workspace's entries without
/// reading them: how many, and how many distinct monitors they stand on.
struct EntryFigures {
    int count = 0;
    int requiredMonitorCount = 1;
};

class StoreReader
{
public:
    /// Every workspace with its entries, in store order (the order rows were
    /// added), all read in one snapshot. Nothing on a failed read.
    ///
    /// No stored value can make this fail or crash: a NULL or a value of the
    /// wrong type reads as the field's default (absent for optional fields),
    /// an unreadable id as a stable id derived from the row, and an entry
    /// whose workspace is missing is left out.
    static std::optional<QList<StoredWorkspace>> readAll(QSqlDatabase &database, QString *error);

    /// The workspace rows alone (their `entries` left empty), in store
    /// order, and in the same snapshot the entry figures of every workspace
    /// that has entries, by row key.
    static std::optional<QList<StoredWorkspace>> readWorkspaces(
        QSqlDatabase &database, QHash<qint64, EntryFigures> *figures, QString *error);

    /// The entries of the workspace row `pk`, in their order. Nothing when
    /// any row cannot be read (a damaged page), never a shorter list.
    static std::optional<QList<EntryData>> readEntries(QSqlDatabase &database, qint64 pk, QString *error);

    /// The entries of every workspace row in `pks`, by row key, all read in
    /// one snapshot. Nothing when one read fails; `failedPk` names its row.
    static std::optional<QHash<qint64, QList<EntryData>>> readEntries(
        QSqlDatabase &database, const QList<qint64> &pks, QString *error, qint64 *failedPk = nullptr);

    /// The ids of all workspace rows.
    static std::optional<QSet<QUuid>> readIds(QSqlDatabase &database, QString *error);
};
