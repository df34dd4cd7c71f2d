// What GET_TREE and GET_OUTPUTS report, read into plain values: windows with their frames, workspaces and
// outputs. Pure: no socket, so recorded replies of sway and i3 test it.
#pragma once

#include "ipcflavour.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <optional>

struct I3Window {
    /// The container id (`con_id` in criteria).
    quint64 conId = 0;
    /// sway reports it; i3 does not.
    std::optional<qint64> pid;
    /// A Wayland window's xdg app_id (sway); empty for X11 windows.
    QString waylandAppId;
    /// WM_CLASS of an X11 window (i3, or XWayland under sway).
    QString instance;
    QString className;
    /// A window it is transient for (X11), as a dialog has.
    bool transient = false;
    QString title;
    /// The outer frame, decorations included, in the window manager's global coordinates.
    QRect frame;
    QString output;
    QString workspace;
    /// The workspace's number; nothing for a named workspace.
    std::optional<int> workspaceNumber;
    /// The area of its workspace (its output, less bars).
    QRect workspaceArea;
    bool floating = false;
    bool fullScreen = false;
    bool focused = false;
    /// In the scratchpad: hidden, on no output.
    bool scratchpad = false;
};

struct I3Output {
    QString name;
    QRect bounds;
    bool primary = false;
    /// sway only; empty under i3.
    QString make;
    QString model;
    QString serial;
    QString currentWorkspace;
};

class I3Tree
{
public:
    /// The windows of a GET_TREE reply in the tree's order; nothing, with `error` filled, for a reply that
    /// is no JSON object. Branches nested deeper than any real layout are left out.
    static std::optional<QList<I3Window>> windows(const QByteArray &treeReply, IpcFlavour flavour, QString *error);
    /// The active outputs of a GET_OUTPUTS reply, in its order.
    static std::optional<QList<I3Output>> outputs(const QByteArray &outputsReply, QString *error);
};
