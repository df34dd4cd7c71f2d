// Building the tray menu's items from a read of the store.
#include "traymenucontent.h"

QString statusMenuWorkspaceTitle(const QString &name, int requiredMonitors, int connectedScreens)
{
    if (requiredMonitors == connectedScreens)
        return name;
    return name + QStringLiteral(" (⚠️ Erfordert %1 Monitore)").arg(requiredMonitors);
}

namespace {

StatusMenuItem plainItem(
    StatusMenuItem::Kind kind, const QString &title, bool enabled, const QKeySequence &shortcut = {})
{
    StatusMenuItem item;
    item.kind = kind;
    item.title = title;
    item.enabled = enabled;
    item.shortcut = shortcut;
    return item;
}

StatusMenuItem workspaceItem(const WorkspaceSummary &data, int connectedScreens)
{
    StatusMenuItem item;
    item.kind = StatusMenuItem::Kind::workspace;
    item.title = statusMenuWorkspaceTitle(data.name, data.requiredMonitorCount, connectedScreens);
    item.enabled = true;
    item.workspaceId = data.id;
    item.symbol = data.icon;
    return item;
}

} // namespace

QList<StatusMenuItem> statusMenuContent(const std::optional<QList<WorkspaceSummary>> &workspaces, int connectedScreens)
{
    using Kind = StatusMenuItem::Kind;
    QList<StatusMenuItem> items;
    items << plainItem(Kind::header, QStringLiteral("Corvalint Workspaces"), false);
    items << plainItem(Kind::separator, {}, false);
    if (workspaces) {
        if (workspaces->isEmpty())
            items << plainItem(Kind::emptyNote, QStringLiteral("Keine Workspaces vorhanden"), false);
        for (const WorkspaceSummary &data : *workspaces)
            items << workspaceItem(data, connectedScreens);
    }
    items << plainItem(Kind::separator, {}, false);
    items << plainItem(
        Kind::openMainWindow, QStringLiteral("Corvalint öffnen"), true, QKeySequence(Qt::CTRL | Qt::Key_O));
    items << plainItem(Kind::quit, QStringLiteral("Beenden"), true, QKeySequence(Qt::CTRL | Qt::Key_Q));
    return items;
}
