// Whether one of our own windows is listed in taskbars and pagers
// (_NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER), set through Qt's own X connection.
#pragma once

class QWindow;

class TaskbarPresence
{
public:
    /// Adds (`skip` true) or removes both skip states. A mapped window asks the
    /// window manager with a _NET_WM_STATE client message (EWMH: only it may
    /// change the state of a managed window); an unmapped one gets the property
    /// written directly, which Qt merges into its own states when it maps the
    /// window. False when the window is not on an X11 display (offscreen tests).
    static bool setSkipped(QWindow *window, bool skip);

    /// Puts a window that is not shown yet on every virtual desktop: EWMH lets
    /// a client set _NET_WM_DESKTOP to 0xFFFFFFFF before mapping. False when
    /// the window is already shown or not on an X11 display.
    static bool setOnAllDesktops(QWindow *window);
};
