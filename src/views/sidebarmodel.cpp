// The sidebar's rows as a flat list: "Dashboard", one header per monitor-count
// group followed by its workspaces, then "System" and "Einstellungen".
#include "sidebarmodel.h"

#include "model/workspace.h"
#include "model/workspacestore.h"
#include "monitorgroups.h"

SidebarModel::SidebarModel(QObject *parent)
    : QAbstractListModel(parent)
    , m_follower(
          this, [this](Workspace *workspace) { watch(workspace); }, [this](Workspace *leaving) { rebuild(leaving); })
{
    rebuild();
}

void SidebarModel::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    m_services = services;
    m_follower.follow(m_services ? &m_services->store() : nullptr);
    rebuild();
    emit servicesChanged();
}

void SidebarModel::watch(Workspace *workspace)
{
    // Only what moves a row between sections or changes the order needs a
    // rebuild; names and icons are bound by the row itself.
    connect(workspace, &Workspace::requiredMonitorCountChanged, this, [this] { rebuild(); });
    connect(workspace, &Workspace::createdAtChanged, this, [this] { rebuild(); });
}

void SidebarModel::rebuild(Workspace *leaving)
{
    QList<Workspace *> workspaces;
    if (m_services) {
        workspaces = m_services->store().workspaces();
        workspaces.removeAll(leaving);
    }

    beginResetModel();
    m_rows.clear();
    m_rows.append({ DashboardRow, QStringLiteral("Dashboard"), QStringLiteral("square.grid.2x2.fill"), nullptr });
    for (const MonitorGroup &group : groupByMonitorCount(workspaces)) {
        m_rows.append({ HeaderRow, monitorGroupTitle(group.monitorCount), {}, nullptr });
        for (Workspace *workspace : group.workspaces)
            m_rows.append({ WorkspaceRow, workspace->name(), workspace->icon(), workspace });
    }
    m_rows.append({ HeaderRow, QStringLiteral("System"), {}, nullptr });
    m_rows.append({ SettingsRow, QStringLiteral("Einstellungen"), QStringLiteral("gearshape.fill"), nullptr });
    endResetModel();
}

SidebarModel::RowKind SidebarModel::kindAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).kind : HeaderRow;
}

int SidebarModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SidebarModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case KindRole:
        return row.kind;
    case TitleRole:
    case Qt::DisplayRole:
        return row.title;
    case SymbolRole:
        return row.symbol;
    case WorkspaceRole:
        return QVariant::fromValue(row.workspace.data());
    default:
        return {};
    }
}

QHash<int, QByteArray> SidebarModel::roleNames() const
{
    return { { KindRole, "kind" }, { TitleRole, "title" }, { SymbolRole, "symbol" }, { WorkspaceRole, "workspace" } };
}

QStringList SidebarModel::headers() const
{
    QStringList result;
    for (const Row &row : m_rows) {
        if (row.kind == HeaderRow)
            result.append(row.title);
    }
    return result;
}
