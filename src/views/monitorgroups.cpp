// Groups workspaces by the number of monitors they need, for the sidebar.
#include "monitorgroups.h"

#include "model/workspace.h"

#include <map>

QList<MonitorGroup> groupByMonitorCount(const QList<Workspace *> &workspaces)
{
    std::map<int, QList<Workspace *>> byCount; // ordered: sections ascend
    for (Workspace *workspace : workspaces)
        byCount[workspace->requiredMonitorCount()].append(workspace);

    QList<MonitorGroup> groups;
    groups.reserve(qsizetype(byCount.size()));
    for (auto &[count, members] : byCount)
        groups.append({ count, std::move(members) });
    return groups;
}

QString monitorGroupTitle(int monitorCount)
{
    return QString::number(monitorCount)
        + (monitorCount == 1 ? QStringLiteral(" Bildschirm") : QStringLiteral(" Bildschirme"));
}
