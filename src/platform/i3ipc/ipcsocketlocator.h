// Where the window manager's IPC socket is: SWAYSOCK or I3SOCK as it sets them for its children, else what
// the window manager itself says (`sway --get-socketpath`, `i3 --get-socketpath`).
#pragma once

#include <QString>
#include <optional>

class IpcSocketLocator
{
public:
    /// Whether this session looks like sway or i3 (their socket variables, or the desktop's name), without
    /// starting anything: the automatic choice of desktop uses it.
    static bool sessionSpeaksIpc();
    /// The socket path; nothing, with `error` filled, when neither variable is set and neither window manager
    /// names one (each asked at most `timeoutMs`).
    static std::optional<QString> find(QString *error, int timeoutMs = 2000);
};
