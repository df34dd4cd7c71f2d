// What a list of workspaces shows without their entries: the tray menu's rows.
#pragma once

#include "workspacedata.h"

#include <QString>
#include <QUuid>

struct WorkspaceSummary {
    QUuid id;
    QString name;
    QString icon;
    int entryCount = 0;
    /// Distinct monitor identifiers among the entries; 1 when none.
    int requiredMonitorCount = 1;

    /// The summary of a workspace whose entries are at hand.
    static WorkspaceSummary of(const WorkspaceData &data);
};
