// The workspaces of one dashboard grid, newest first: all of them, or only the
// favourites. Rows follow the store and the favourite marks live.
#pragma once

#include "model/workspace.h"
#include "viewservices.h"

#include <QAbstractListModel>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class WorkspaceGridModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    Q_PROPERTY(bool favoritesOnly READ favoritesOnly WRITE setFavoritesOnly NOTIFY favoritesOnlyChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { WorkspaceRole = Qt::UserRole + 1, IdRole };

    explicit WorkspaceGridModel(QObject *parent = nullptr);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);
    bool favoritesOnly() const { return m_favoritesOnly; }
    void setFavoritesOnly(bool favoritesOnly);
    int count() const { return int(m_rows.size()); }

    /// The workspace in `row`, or null.
    Q_INVOKABLE Workspace *workspaceAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void servicesChanged();
    void favoritesOnlyChanged();
    void countChanged();

private:
    bool shows(const Workspace *workspace) const;
    void watch(Workspace *workspace);
    void reload();
    void update(Workspace *workspace);
    void removeRow(Workspace *workspace);
    int insertionRow(const Workspace *workspace) const;

    QPointer<ViewServices> m_services;
    bool m_favoritesOnly = false;
    QList<Workspace *> m_rows;
    QList<QMetaObject::Connection> m_storeConnections;
};
