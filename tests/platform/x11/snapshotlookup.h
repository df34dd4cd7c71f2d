// Finding the test clients' applications and windows in a snapshot of the X11 desktop.
#pragma once

#include "automation/desktoptypes.h"

#include <optional>

/// The application one of whose processes is `pid`.
inline std::optional<DesktopApplication> applicationWithPid(const DesktopSnapshot &snapshot, qint64 pid)
{
    for (const DesktopApplication &application : snapshot.applications) {
        if (application.hasPid(pid))
            return application;
    }
    return std::nullopt;
}

/// The application with this id.
inline std::optional<DesktopApplication> applicationWithId(const DesktopSnapshot &snapshot, const QString &appId)
{
    for (const DesktopApplication &application : snapshot.applications) {
        if (application.appId == appId)
            return application;
    }
    return std::nullopt;
}

/// The windows of the process `pid`, in the desktop's order.
inline QList<DesktopWindow> windowsWithPid(const DesktopSnapshot &snapshot, qint64 pid)
{
    QList<DesktopWindow> windows;
    for (const DesktopApplication &application : snapshot.applications) {
        for (const DesktopWindow &window : application.windows) {
            if (window.pid == pid)
                windows.append(window);
        }
    }
    return windows;
}

/// The window with this id, when listed.
inline std::optional<DesktopWindow> windowWithId(const DesktopSnapshot &snapshot, WindowId id)
{
    for (const DesktopApplication &application : snapshot.applications) {
        for (const DesktopWindow &window : application.windows) {
            if (window.id == id)
                return window;
        }
    }
    return std::nullopt;
}
