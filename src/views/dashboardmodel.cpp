// The dashboard's statistics over every saved workspace: how many there are,
// how often they were started, the time that saved, and whether any is a
// favourite.
#include "dashboardmodel.h"

#include "timesavedtext.h"
#include "model/workspace.h"
#include "model/workspacestore.h"

DashboardModel::DashboardModel(QObject *parent)
    : QObject(parent)
{
}

void DashboardModel::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    for (const auto &connection : std::as_const(m_storeConnections))
        disconnect(connection);
    m_storeConnections.clear();
    m_services = services;
    if (m_services) {
        WorkspaceStore &store = m_services->store();
        m_storeConnections << connect(&store, &WorkspaceStore::workspaceInserted, this, [this](Workspace *workspace) {
            watch(workspace);
            recompute();
        });
        m_storeConnections << connect(&store, &WorkspaceStore::workspaceRemoved, this, [this](Workspace *workspace) {
            disconnect(workspace, nullptr, this, nullptr);
            recompute(workspace);
        });
        for (Workspace *workspace : store.workspaces())
            watch(workspace);
    }
    recompute();
    emit servicesChanged();
}

QString DashboardModel::timeSavedText() const
{
    return formatTimeSaved(m_totalTimeSaved);
}

void DashboardModel::watch(Workspace *workspace)
{
    const auto changed = [this] { recompute(); };
    connect(workspace, &Workspace::launchCountChanged, this, changed);
    connect(workspace, &Workspace::timeSavedInSecondsChanged, this, changed);
    connect(workspace, &Workspace::isFavoriteChanged, this, changed);
}

void DashboardModel::recompute(const Workspace *leaving)
{
    int count = 0;
    qint64 launches = 0;
    double seconds = 0;
    int favorites = 0;
    if (m_services) {
        for (const Workspace *workspace : m_services->store().workspaces()) {
            if (workspace == leaving)
                continue;
            ++count;
            launches += workspace->launchCount();
            seconds += workspace->timeSavedInSeconds();
            favorites += workspace->isFavorite() ? 1 : 0;
        }
    }
    if (count == m_workspaceCount && launches == m_totalLaunches && seconds == m_totalTimeSaved
        && favorites == m_favoriteCount)
        return;
    m_workspaceCount = count;
    m_totalLaunches = launches;
    m_totalTimeSaved = seconds;
    m_favoriteCount = favorites;
    emit statisticsChanged();
}
