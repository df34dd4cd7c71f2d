// A live list of a store's workspaces, newest first, for the sidebar, the
// dashboard and anything else that shows all of them.
#pragma once

#include "workspacestore.h"

#include <QAbstractListModel>
#include <QList>
#include <QPointer>

class Workspace;

class WorkspaceListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(WorkspaceStore *store READ store WRITE setStore NOTIFY storeChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        WorkspaceRole = Qt::UserRole + 1,
        IdRole,
        NameRole,
        IconRole,
        CategoryRole,
        IsFavoriteRole,
        EntryCountRole,
        RequiredMonitorCountRole,
        LaunchCountRole,
        TimeSavedInSecondsRole,
    };
    Q_ENUM(Role)

    explicit WorkspaceListModel(QObject *parent = nullptr);
    explicit WorkspaceListModel(WorkspaceStore *store, QObject *parent = nullptr);

    WorkspaceStore *store() const { return m_store; }
    /// Follows `store` from now on; nullptr empties the list.
    void setStore(WorkspaceStore *store);

    int count() const { return int(m_rows.size()); }
    /// The workspace in `row`, or nullptr outside the list.
    Q_INVOKABLE Workspace *at(int row) const;
    /// The row of `workspace`, or -1.
    Q_INVOKABLE int indexOf(Workspace *workspace) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void storeChanged();
    void countChanged();

private:
    void onStoreDestroyed();
    void follow(Workspace *workspace);
    void onInserted(Workspace *workspace);
    void onRemoved(Workspace *workspace);
    void onChanged(Workspace *workspace);
    int sortedRowFor(Workspace *workspace, int ignoreRow) const;

    QPointer<WorkspaceStore> m_store;
    QList<Workspace *> m_rows;
};
