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

    QList<Row> rows;
    rows.append({ DashboardRow, QStringLiteral("Dashboard"), QStringLiteral("square.grid.2x2.fill"), nullptr });
    for (const MonitorGroup &group : groupByMonitorCount(workspaces)) {
        rows.append({ HeaderRow, monitorGroupTitle(group.monitorCount), {}, nullptr });
        for (Workspace *workspace : group.workspaces)
            rows.append({ WorkspaceRow, workspace->name(), workspace->icon(), workspace });
    }
    rows.append({ HeaderRow, QStringLiteral("System"), {}, nullptr });
    rows.append({ SettingsRow, QStringLiteral("Einstellungen"), QStringLiteral("gearshape.fill"), nullptr });
    replaceRows(rows);
}

// A new or deleted workspace changes one row (two with its group's header): only those go and come, so that
// the list keeps every other row's item instead of making all of them again.
void SidebarModel::replaceRows(const QList<Row> &rows)
{
    qsizetype same = 0;
    while (same < m_rows.size() && same < rows.size() && m_rows[same] == rows[same])
        ++same;
    qsizetype sameAtEnd = 0;
    while (sameAtEnd < m_rows.size() - same && sameAtEnd < rows.size() - same
        && m_rows[m_rows.size() - 1 - sameAtEnd] == rows[rows.size() - 1 - sameAtEnd])
        ++sameAtEnd;
    const qsizetype gone = m_rows.size() - same - sameAtEnd;
    const qsizetype added = rows.size() - same - sameAtEnd;
    if (gone > 0) {
        beginRemoveRows({}, int(same), int(same + gone - 1));
        m_rows.remove(same, gone);
        endRemoveRows();
    }
    if (added > 0) {
        beginInsertRows({}, int(same), int(same + added - 1));
        for (qsizetype i = 0; i < added; ++i)
            m_rows.insert(same + i, rows[same + i]);
        endInsertRows();
    }
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
