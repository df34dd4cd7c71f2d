// What a list of workspaces shows without their entries: the tray menu's rows.
#include "workspacesummary.h"

#include "workspace.h"

#include <memory>

WorkspaceSummary WorkspaceSummary::of(const WorkspaceData &data)
{
    // The record owns the one monitor-count rule; a short-lived copy keeps it in one place.
    const std::unique_ptr<Workspace> record(Workspace::fromData(data));
    return { data.id, data.name, data.icon, int(data.entries.size()), record->requiredMonitorCount() };
}
