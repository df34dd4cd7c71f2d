// Refreshing a stored workspace from a new capture of the desktop: entries that are
// the same item take the new geometry, anything new is appended.
#include "workspacemerge.h"

#include "model/workspace.h"

#include <algorithm>

namespace {

bool isFileOrFolder(EntryType type)
{
    return type == EntryType::file || type == EntryType::folder;
}

/// The eleven fields a refresh updates; identity, kind, target and delay stay.
void copyPlacement(EntryData &stored, const EntryData &captured)
{
    stored.isMaximized = captured.isMaximized;
    stored.virtualDesktop = captured.virtualDesktop;
    stored.windowTitle = captured.windowTitle;
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

void mergeCapturedEntries(Workspace &workspace, const QList<EntryData> &captured)
{
    for (const EntryData &c : captured) {
        // Read afresh each time: an entry appended just now can match the next one.
        const QList<WorkspaceEntry *> entries = workspace.entries();
        const auto match = std::find_if(
            entries.begin(), entries.end(), [&c](const WorkspaceEntry *e) { return isSameItem(e->data(), c); });
        if (match == entries.end()) {
            workspace.appendEntry(c);
            continue;
        }
        EntryData updated = (*match)->data();
        copyPlacement(updated, c);
        // The tabs behind a browser window's first one are what it shows now,
        // none included; a match of two websites means the first tab is equal.
        if (updated.type() == EntryType::website && c.type() == EntryType::website)
            updated.additionalTabURLs = c.additionalTabURLs;
        // Only the fields that changed notify, so rows of untouched entries stay put.
        (*match)->setData(updated);
    }
}
