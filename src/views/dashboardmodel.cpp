// The dashboard's statistics over every saved workspace: how many there are,
// how often they were started, the time that saved, and whether any is a
// favourite.
#include "dashboardmodel.h"

#include "model/workspace.h"
#include "model/workspacestore.h"
#include "timesavedtext.h"

DashboardModel::DashboardModel(QObject *parent)
    : QObject(parent)
    , m_follower(
          this, [this](Workspace *workspace) { watch(workspace); }, [this](Workspace *leaving) { recompute(leaving); })
{
}

void DashboardModel::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    m_services = services;
    m_follower.follow(m_services ? &m_services->store() : nullptr);
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
