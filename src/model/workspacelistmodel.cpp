// A live list of a store's workspaces, newest first, for the sidebar, the
// dashboard and anything else that shows all of them.
#include "workspacelistmodel.h"

#include "workspace.h"
#include "workspacestore.h"

WorkspaceListModel::WorkspaceListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

WorkspaceListModel::WorkspaceListModel(WorkspaceStore *store, QObject *parent)
    : QAbstractListModel(parent)
{
    setStore(store);
}

void WorkspaceListModel::setStore(WorkspaceStore *store)
{
    if (m_store == store)
        return;
    beginResetModel();
    if (m_store) {
        disconnect(m_store, nullptr, this, nullptr);
        for (Workspace *workspace : std::as_const(m_rows))
            disconnect(workspace, nullptr, this, nullptr);
    }
    m_store = store;
    m_rows.clear();
    if (m_store) {
        m_rows = m_store->workspaces();
        for (Workspace *workspace : std::as_const(m_rows))
            follow(workspace);
        connect(m_store, &WorkspaceStore::workspaceInserted, this, &WorkspaceListModel::onInserted);
        connect(m_store, &WorkspaceStore::workspaceRemoved, this, &WorkspaceListModel::onRemoved);
        connect(m_store, &QObject::destroyed, this, &WorkspaceListModel::onStoreDestroyed);
    }
    endResetModel();
    emit storeChanged();
    emit countChanged();
}

void WorkspaceListModel::onStoreDestroyed()
{
    // The store has deleted its records by now (their connections went with
    // them), so the rows are only forgotten, never touched.
    beginResetModel();
    m_rows.clear();
    endResetModel();
    emit storeChanged();
    emit countChanged();
}

void WorkspaceListModel::follow(Workspace *workspace)
{
    // One connection per record: `changed` covers every field the roles show,
    // including those of the entries behind entryCount and requiredMonitorCount.
    connect(workspace, &Workspace::changed, this, [this, workspace] { onChanged(workspace); });
}

Workspace *WorkspaceListModel::at(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row) : nullptr;
}

int WorkspaceListModel::indexOf(Workspace *workspace) const
{
    return int(m_rows.indexOf(workspace));
}

int WorkspaceListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant WorkspaceListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Workspace *workspace = m_rows.at(index.row());
    switch (role) {
    case WorkspaceRole:
        return QVariant::fromValue(const_cast<Workspace *>(workspace));
    case IdRole:
        return workspace->idText();
    case Qt::DisplayRole:
    case NameRole:
        return workspace->name();
    case IconRole:
        return workspace->icon();
    case CategoryRole:
        return workspace->category();
    case IsFavoriteRole:
        return workspace->isFavorite();
    case EntryCountRole:
        return workspace->entryCount();
    case RequiredMonitorCountRole:
        return workspace->requiredMonitorCount();
    case LaunchCountRole:
        return workspace->launchCount();
    case TimeSavedInSecondsRole:
        return workspace->timeSavedInSeconds();
    default:
        return {};
    }
}

QHash<int, QByteArray> WorkspaceListModel::roleNames() const
{
    return {
        { WorkspaceRole, "workspace" },
        { IdRole, "id" },
        { NameRole, "name" },
        { IconRole, "icon" },
        { CategoryRole, "category" },
        { IsFavoriteRole, "isFavorite" },
        { EntryCountRole, "entryCount" },
        { RequiredMonitorCountRole, "requiredMonitorCount" },
        { LaunchCountRole, "launchCount" },
        { TimeSavedInSecondsRole, "timeSavedInSeconds" },
    };
}

int WorkspaceListModel::sortedRowFor(Workspace *workspace, int ignoreRow) const
{
    // Binary search over the rows as they stand, skipping `ignoreRow` (the
    // record's own old place while it moves).
    int low = 0;
    int high = int(m_rows.size()) - (ignoreRow >= 0 ? 1 : 0);
    while (low < high) {
        const int middle = (low + high) / 2;
        const int probe = (ignoreRow >= 0 && middle >= ignoreRow) ? middle + 1 : middle;
        if (m_store->isOrderedBefore(workspace, m_rows.at(probe)))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void WorkspaceListModel::onInserted(Workspace *workspace)
{
    if (m_rows.contains(workspace))
        return;
    const int row = sortedRowFor(workspace, -1);
    beginInsertRows({}, row, row);
    m_rows.insert(row, workspace);
    endInsertRows();
    follow(workspace);
    emit countChanged();
}

void WorkspaceListModel::onRemoved(Workspace *workspace)
{
    const int row = int(m_rows.indexOf(workspace));
    if (row < 0)
        return;
    disconnect(workspace, nullptr, this, nullptr);
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    emit countChanged();
}

void WorkspaceListModel::onChanged(Workspace *workspace)
{
    const int row = int(m_rows.indexOf(workspace));
    if (row < 0 || !m_store)
        return;
    const bool afterPrevious = row == 0 || !m_store->isOrderedBefore(workspace, m_rows.at(row - 1));
    const bool beforeNext = row + 1 == m_rows.size() || !m_store->isOrderedBefore(m_rows.at(row + 1), workspace);
    if (!afterPrevious || !beforeNext) {
        // Its createdAt changed: move it to where it now belongs.
        const int target = sortedRowFor(workspace, row);
        // beginMoveRows counts the destination before the move.
        const int destination = target > row ? target + 1 : target;
        if (target != row && beginMoveRows({}, row, row, {}, destination)) {
            m_rows.move(row, target);
            endMoveRows();
        }
    }
    const int current = int(m_rows.indexOf(workspace));
    const QModelIndex changed = index(current);
    emit dataChanged(changed, changed);
}
