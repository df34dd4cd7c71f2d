// The workspaces of one dashboard grid, newest first: all of them, or only the
// favourites. Rows follow the store and the favourite marks live.
#include "workspacegridmodel.h"

#include "model/workspace.h"
#include "model/workspacestore.h"

WorkspaceGridModel::WorkspaceGridModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void WorkspaceGridModel::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    for (const auto &connection : std::as_const(m_storeConnections))
        disconnect(connection);
    m_storeConnections.clear();
    if (m_services) {
        for (Workspace *workspace : m_services->store().workspaces())
            disconnect(workspace, nullptr, this, nullptr);
    }
    m_services = services;
    if (m_services) {
        WorkspaceStore &store = m_services->store();
        m_storeConnections << connect(&store, &WorkspaceStore::workspaceInserted, this, [this](Workspace *workspace) {
            watch(workspace);
            update(workspace);
        });
        m_storeConnections << connect(&store, &WorkspaceStore::workspaceRemoved, this, [this](Workspace *workspace) {
            disconnect(workspace, nullptr, this, nullptr);
            removeRow(workspace);
        });
        for (Workspace *workspace : store.workspaces())
            watch(workspace);
    }
    reload();
    emit servicesChanged();
}

void WorkspaceGridModel::setFavoritesOnly(bool favoritesOnly)
{
    if (m_favoritesOnly == favoritesOnly)
        return;
    m_favoritesOnly = favoritesOnly;
    reload();
    emit favoritesOnlyChanged();
}

Workspace *WorkspaceGridModel::workspaceAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row) : nullptr;
}

bool WorkspaceGridModel::shows(const Workspace *workspace) const
{
    return !m_favoritesOnly || workspace->isFavorite();
}

void WorkspaceGridModel::watch(Workspace *workspace)
{
    connect(workspace, &Workspace::isFavoriteChanged, this, [this, workspace] { update(workspace); });
    connect(workspace, &Workspace::createdAtChanged, this, [this, workspace] {
        // A new creation time moves the card: take it out and put it back.
        removeRow(workspace);
        update(workspace);
    });
}

void WorkspaceGridModel::reload()
{
    const int before = count();
    beginResetModel();
    m_rows.clear();
    if (m_services) {
        for (Workspace *workspace : m_services->store().workspaces()) {
            if (shows(workspace))
                m_rows.append(workspace);
        }
    }
    endResetModel();
    if (count() != before)
        emit countChanged();
}

// Inserts or removes one workspace's row so that the rows stay what the
// store's order and the filter say, without resetting the grid.
void WorkspaceGridModel::update(Workspace *workspace)
{
    const bool listed = m_rows.contains(workspace);
    if (shows(workspace) == listed)
        return;
    if (listed) {
        removeRow(workspace);
        return;
    }
    const int row = insertionRow(workspace);
    beginInsertRows({}, row, row);
    m_rows.insert(row, workspace);
    endInsertRows();
    emit countChanged();
}

void WorkspaceGridModel::removeRow(Workspace *workspace)
{
    const int row = int(m_rows.indexOf(workspace));
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    emit countChanged();
}

int WorkspaceGridModel::insertionRow(const Workspace *workspace) const
{
    const WorkspaceStore &store = m_services->store();
    int row = 0;
    while (row < m_rows.size() && store.isOrderedBefore(m_rows.at(row), workspace))
        ++row;
    return row;
}

int WorkspaceGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant WorkspaceGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    Workspace *workspace = m_rows.at(index.row());
    switch (role) {
    case WorkspaceRole:
        return QVariant::fromValue(workspace);
    case IdRole:
        return workspace->idText();
    default:
        return {};
    }
}

QHash<int, QByteArray> WorkspaceGridModel::roleNames() const
{
    return { { WorkspaceRole, "workspace" }, { IdRole, "workspaceId" } };
}
