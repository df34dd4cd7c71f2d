// Turns workspaces into the exact text of a backup file.
#pragma once

#include "model/workspacedata.h"

#include <QByteArray>
#include <QList>

class BackupWriter
{
public:
    /// The whole file as UTF-8: `{"version": 1, "workspaces": [...]}` with the
    /// workspaces in list order, each as one compact object whose members follow
    /// the record's field order. No byte-order mark, no trailing newline.
    static QByteArray serialize(const QList<WorkspaceData> &workspaces);

    /// One workspace with its entries as a compact JSON object.
    static QByteArray workspaceObject(const WorkspaceData &workspace);
};
