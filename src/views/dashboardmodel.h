// The dashboard's statistics over every saved workspace: how many there are,
// how often they were started, the time that saved, and whether any is a
// favourite.
#pragma once

#include "model/workspace.h"
#include "storefollower.h"
#include "viewservices.h"

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class DashboardModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    Q_PROPERTY(int workspaceCount READ workspaceCount NOTIFY statisticsChanged)
    // A JavaScript number in QML either way; Qt 6.4's QML tools know no 64-bit integer type.
    Q_PROPERTY(double totalLaunches READ totalLaunches NOTIFY statisticsChanged)
    Q_PROPERTY(double totalTimeSaved READ totalTimeSaved NOTIFY statisticsChanged)
    Q_PROPERTY(QString timeSavedText READ timeSavedText NOTIFY statisticsChanged)
    Q_PROPERTY(int favoriteCount READ favoriteCount NOTIFY statisticsChanged)

public:
    explicit DashboardModel(QObject *parent = nullptr);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);

    int workspaceCount() const { return m_workspaceCount; }
    qint64 totalLaunches() const { return m_totalLaunches; }
    double totalTimeSaved() const { return m_totalTimeSaved; }
    QString timeSavedText() const;
    int favoriteCount() const { return m_favoriteCount; }

signals:
    void servicesChanged();
    void statisticsChanged();

private:
    void watch(Workspace *workspace);
    void recompute(const Workspace *leaving = nullptr);

    QPointer<ViewServices> m_services;
    StoreFollower m_follower;
    int m_workspaceCount = 0;
    qint64 m_totalLaunches = 0;
    double m_totalTimeSaved = 0;
    int m_favoriteCount = 0;
};
