// What the tray menu lists, as plain data: built fresh from the store on every opening.
#pragma once

#include "model/workspacesummary.h"

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

struct StatusMenuItem {
    enum class Kind { header, separator, workspace, emptyNote, openMainWindow, quit };

    Kind kind = Kind::separator;
    QString title;
    bool enabled = false;
    /// The workspace behind a workspace item; null otherwise.
    QUuid workspaceId;
    /// The symbol name shown as the item's image (workspace items only).
    QString symbol;
    QKeySequence shortcut;

    bool operator==(const StatusMenuItem &) const = default;
};

/// The title of a workspace item: its name, with " (⚠️ Erfordert N Monitore)"
/// appended when it needs another number of monitors than are connected (more
/// or fewer; the plural stays for every count).
QString statusMenuWorkspaceTitle(const QString &name, int requiredMonitors, int connectedScreens);

/// The whole menu, top to bottom. `workspaces` is the result of a fresh read,
/// newest first; absent when the read failed, which leaves out both the
/// workspace items and the empty-list note.
QList<StatusMenuItem> statusMenuContent(const std::optional<QList<WorkspaceSummary>> &workspaces, int connectedScreens);
