// The text of the RUN_COMMAND requests Corvalint sends: one container picked by its id, then what to do.
// Pure, so that the order of the parts (resize before move) and the quoting are tested without a server.
#pragma once

#include <QRect>
#include <QString>
#include <optional>

class I3Commands
{
public:
    /// `[con_id=N]`: the criteria that pick exactly one container.
    static QString criteria(quint64 conId);
    /// A string argument in double quotes, with `"` and `\` escaped, as the command parser reads it.
    static QString quoted(const QString &text);

    /// Floating on exactly `frame` (outer frame, global coordinates). Resize comes first: `resize set` keeps
    /// the window's centre, so a resize after the move would shift it again.
    static QString floatingFrame(quint64 conId, const QRect &frame, bool leaveFullScreen);
    /// Tiled, where the window manager's layout puts it: on workspace `workspaceNumber` when given (on
    /// whichever output holds it), else on the workspace `output` shows.
    static QString tiled(
        quint64 conId, const QString &output, std::optional<int> workspaceNumber, bool leaveFullScreen);
    /// Full screen on `output`.
    static QString fullScreen(quint64 conId, const QString &output);
    /// Raise and focus (switching to its workspace).
    static QString focus(quint64 conId);
    /// The polite close: xdg_toplevel.close or WM_DELETE_WINDOW, never a signal.
    static QString close(quint64 conId);
};
