// Keeps a model that recomputes from all workspaces in step with the store.
#include "storefollower.h"

#include "model/workspace.h"
#include "model/workspacestore.h"

StoreFollower::StoreFollower(QObject *owner, Watch watch, Refresh refresh)
    : m_owner(owner)
    , m_watch(std::move(watch))
    , m_refresh(std::move(refresh))
{
}

StoreFollower::~StoreFollower()
{
    stop();
}

void StoreFollower::stop()
{
    for (const auto &connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
}

void StoreFollower::follow(WorkspaceStore *store)
{
    stop();
    if (!store)
        return;
    m_connections << QObject::connect(store, &WorkspaceStore::workspaceInserted, m_owner, [this](Workspace *workspace) {
        m_watch(workspace);
        m_refresh(nullptr);
    });
    // Emitted while the record still exists, so the model can drop it at once.
    m_connections << QObject::connect(store, &WorkspaceStore::workspaceRemoved, m_owner, [this](Workspace *workspace) {
        QObject::disconnect(workspace, nullptr, m_owner, nullptr);
        m_refresh(workspace);
    });
    for (Workspace *workspace : store->workspaces())
        m_watch(workspace);
}
