// The main window's selection (dashboard, settings or one workspace) and the
// sidebar's delete action, which must not leave a deleted workspace selected.
#pragma once

#include "model/workspace.h"
#include "viewservices.h"

#include <QObject>
#include <QPointer>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

class NavigationController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    Q_PROPERTY(Selection selection READ selection NOTIFY selectionChanged)
    /// The selected workspace while `selection` is Workspace, else null.
    Q_PROPERTY(Workspace *workspace READ workspace NOTIFY selectionChanged)

public:
    enum Selection { Dashboard, Settings, WorkspaceSelection };
    Q_ENUM(Selection)

    explicit NavigationController(QObject *parent = nullptr);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);
    Selection selection() const { return m_selection; }
    Workspace *workspace() const { return m_workspace; }

    Q_INVOKABLE void showDashboard();
    Q_INVOKABLE void showSettings();
    /// Selects `workspace`; null selects the dashboard.
    Q_INVOKABLE void showWorkspace(Workspace *workspace);
    /// Whether `workspace` is the one the detail area shows.
    Q_INVOKABLE bool isShowing(Workspace *workspace) const;

    /// Deletes `workspace` (its entries go with it) and saves; when it is the
    /// one shown, the dashboard is shown first, and the detail view comes back
    /// with it when the delete is taken back. No confirmation: it can be undone.
    Q_INVOKABLE void deleteWorkspace(Workspace *workspace);

signals:
    void servicesChanged();
    void selectionChanged();

private:
    void select(Selection selection, Workspace *workspace);
    void onWorkspaceRemoved(Workspace *workspace);
    void onWorkspaceRestored(Workspace *workspace);

    QPointer<ViewServices> m_services;
    Selection m_selection = Dashboard;
    QPointer<Workspace> m_workspace;
    QMetaObject::Connection m_removedConnection;
    QMetaObject::Connection m_restoredConnection;
    // The workspace deleted while shown, until its delete is taken back or another follows.
    QUuid m_restoreShows;
};
