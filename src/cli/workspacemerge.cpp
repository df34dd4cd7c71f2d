// The update of a workspace from a fresh capture.
#include "workspacemerge.h"

#include "model/workspace.h"

#include <algorithm>

namespace {

bool isFileOrFolder(EntryType type)
{
    return type == EntryType::file || type == EntryType::folder;
}

} // namespace

bool isSameItem(const EntryData &stored, const EntryData &captured)
{
    const EntryType a = stored.type();
    const EntryType b = captured.type();
    if (a == EntryType::application && b == EntryType::application)
        return stored.appBundleIdentifier == captured.appBundleIdentifier;
    if (a == EntryType::website && b == EntryType::website)
        return stored.websiteURL == captured.websiteURL;
    if (isFileOrFolder(a) && isFileOrFolder(b))
        return stored.filePath == captured.filePath;
    return false;
}

void copyPlacement(EntryData &stored, const EntryData &captured)
{
    stored.frameX = captured.frameX;
    stored.frameY = captured.frameY;
    stored.width = captured.width;
    stored.height = captured.height;
    stored.monitorID = captured.monitorID;
    stored.isFullscreen = captured.isFullscreen;
    stored.originalScreenX = captured.originalScreenX;
    stored.originalScreenY = captured.originalScreenY;
    stored.originalScreenWidth = captured.originalScreenWidth;
    stored.originalScreenHeight = captured.originalScreenHeight;
}

QList<EntryData> mergeCapturedEntries(QList<EntryData> stored, const QList<EntryData> &captured)
{
    for (const EntryData &c : captured) {
        auto match = std::find_if(stored.begin(), stored.end(),
                                  [&c](const EntryData &e) { return isSameItem(e, c); });
        if (match != stored.end())
            copyPlacement(*match, c);
        else
            stored.append(c);
    }
    return stored;
}

void mergeCapturedEntries(Workspace &workspace, const QList<EntryData> &captured, const QDateTime &now)
{
    for (const EntryData &c : captured) {
        const QList<WorkspaceEntry *> entries = workspace.entries();
        auto match = std::find_if(entries.begin(), entries.end(),
                                  [&c](const WorkspaceEntry *e) { return isSameItem(e->data(), c); });
        if (match != entries.end()) {
            EntryData updated = (*match)->data();
            copyPlacement(updated, c);
            (*match)->setData(updated);
        } else {
            workspace.appendEntry(c);
        }
    }
    workspace.setModifiedAt(now);
}
