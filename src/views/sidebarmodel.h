// The sidebar's rows as a flat list: "Dashboard", one header per monitor-count
// group followed by its workspaces, then "System" and "Einstellungen".
#pragma once

#include "model/workspace.h"
#include "storefollower.h"
#include "viewservices.h"

#include <QAbstractListModel>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class SidebarModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)

public:
    enum RowKind { DashboardRow, HeaderRow, WorkspaceRow, SettingsRow };
    Q_ENUM(RowKind)
    enum Role { KindRole = Qt::UserRole + 1, TitleRole, SymbolRole, WorkspaceRole };

    explicit SidebarModel(QObject *parent = nullptr);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    /// What kind the row at `row` is; a header for rows out of range, which the keyboard never stops on.
    Q_INVOKABLE RowKind kindAt(int row) const;
    QHash<int, QByteArray> roleNames() const override;

    /// The section headers in order, for tests and accessibility.
    QStringList headers() const;

signals:
    void servicesChanged();

private:
    struct Row {
        RowKind kind;
        QString title;
        QString symbol;
        QPointer<Workspace> workspace;

        bool operator==(const Row &other) const
        {
            return kind == other.kind && title == other.title && symbol == other.symbol && workspace == other.workspace;
        }
    };

    void rebuild(Workspace *leaving = nullptr);
    void replaceRows(const QList<Row> &rows);
    void watch(Workspace *workspace);

    QPointer<ViewServices> m_services;
    QList<Row> m_rows;
    StoreFollower m_follower;
};
