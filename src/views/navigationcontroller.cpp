// The main window's selection (dashboard, settings or one workspace) and the
// sidebar's delete action, which must not leave a deleted workspace selected.
#include "navigationcontroller.h"

#include "model/workspace.h"
#include "model/workspacestore.h"

NavigationController::NavigationController(QObject *parent)
    : QObject(parent)
{
}

void NavigationController::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    disconnect(m_removedConnection);
    disconnect(m_restoredConnection);
    m_services = services;
    if (m_services) {
        // A workspace deleted anywhere else (the detail view, an import) must
        // not stay selected as a dangling record.
        m_removedConnection = connect(
            &m_services->store(), &WorkspaceStore::workspaceRemoved, this, &NavigationController::onWorkspaceRemoved);
        m_restoredConnection = connect(
            m_services->undo(), &DeleteUndo::workspaceRestored, this, &NavigationController::onWorkspaceRestored);
    }
    emit servicesChanged();
}

void NavigationController::showDashboard()
{
    select(Dashboard, nullptr);
}

void NavigationController::showSettings()
{
    select(Settings, nullptr);
}

void NavigationController::showWorkspace(Workspace *workspace)
{
    if (!workspace)
        select(Dashboard, nullptr);
    else
        select(WorkspaceSelection, workspace);
}

bool NavigationController::isShowing(Workspace *workspace) const
{
    return workspace && m_selection == WorkspaceSelection && m_workspace == workspace;
}

void NavigationController::deleteWorkspace(Workspace *workspace)
{
    if (!workspace || !m_services)
        return;
    if (isShowing(workspace)) {
        // "Rückgängig" brings the detail view back with the workspace.
        m_restoreShows = workspace->id();
        showDashboard();
    } else {
        m_restoreShows = QUuid();
    }
    m_services->undo()->deleteWorkspace(workspace);
}

void NavigationController::onWorkspaceRestored(Workspace *workspace)
{
    if (!workspace || workspace->id() != m_restoreShows)
        return;
    m_restoreShows = QUuid();
    // Only when nothing else was chosen since the delete.
    if (m_selection == Dashboard)
        showWorkspace(workspace);
}

void NavigationController::select(Selection selection, Workspace *workspace)
{
    if (m_selection == selection && m_workspace == workspace)
        return;
    m_selection = selection;
    m_workspace = workspace;
    emit selectionChanged();
}

void NavigationController::onWorkspaceRemoved(Workspace *workspace)
{
    if (isShowing(workspace))
        showDashboard();
}
