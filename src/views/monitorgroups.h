// Groups workspaces by the number of monitors they need, for the sidebar.
#pragma once

#include <QList>
#include <QString>

class Workspace;

/// One sidebar section: every workspace that needs `monitorCount` monitors.
struct MonitorGroup {
    int monitorCount = 1;
    QList<Workspace *> workspaces;
};

/// Groups `workspaces` by `requiredMonitorCount`, counts ascending; inside a
/// group the given order is kept. No workspaces, no groups.
QList<MonitorGroup> groupByMonitorCount(const QList<Workspace *> &workspaces);

/// "1 Bildschirm", "2 Bildschirme", ...
QString monitorGroupTitle(int monitorCount);
