// Keeps a model that recomputes from all workspaces in step with the store:
// inserts, removals, and the fields of each workspace that the model watches.
#pragma once

#include <QList>
#include <QMetaObject>
#include <functional>

class QObject;
class Workspace;
class WorkspaceStore;

class StoreFollower
{
public:
    /// Connects the fields of one workspace that matter to the model.
    using Watch = std::function<void(Workspace *workspace)>;
    /// Recomputes the model; `leaving` is a workspace about to be deleted that
    /// the store still lists, or nullptr.
    using Refresh = std::function<void(Workspace *leaving)>;

    /// Connections are made in the name of `owner`, so they end with it.
    StoreFollower(QObject *owner, Watch watch, Refresh refresh);
    ~StoreFollower();
    StoreFollower(const StoreFollower &) = delete;
    StoreFollower &operator=(const StoreFollower &) = delete;

    /// Follows `store` (nullptr: none) instead of the one followed before. The
    /// caller refreshes afterwards.
    void follow(WorkspaceStore *store);

private:
    void stop();

    QObject *m_owner;
    Watch m_watch;
    Refresh m_refresh;
    QList<QMetaObject::Connection> m_connections;
};
