// The model's and the overlay's objects as QML names them. The model library
// stays free of Qt Qml and the overlay keeps its C++ out of its QML module, yet
// the views hand these objects around in typed properties: declared here, the
// views' module (and qmllint) knows their properties, and no QML file can make one.
#pragma once

#include "model/sync/foldersynccontrol.h"
#include "model/workspace.h"
#include "model/workspaceentry.h"
#include "overlay/previewoverlaymanager.h"

#include <QtQml/qqml.h>

struct WorkspaceForeign {
    Q_GADGET
    QML_FOREIGN(Workspace)
    QML_NAMED_ELEMENT(Workspace)
    QML_UNCREATABLE("Workspaces come from the store")
};

struct WorkspaceEntryForeign {
    Q_GADGET
    QML_FOREIGN(WorkspaceEntry)
    QML_NAMED_ELEMENT(WorkspaceEntry)
    QML_UNCREATABLE("Entries belong to a workspace of the store")
};

struct FolderSyncControlForeign {
    Q_GADGET
    QML_FOREIGN(FolderSyncControl)
    QML_NAMED_ELEMENT(FolderSyncControl)
    QML_UNCREATABLE("Reached through Services.folderSync")
};

struct PreviewOverlayManagerForeign {
    Q_GADGET
    QML_FOREIGN(PreviewOverlayManager)
    QML_NAMED_ELEMENT(PreviewOverlayManager)
    QML_UNCREATABLE("Reached through Services.overlay")
};
