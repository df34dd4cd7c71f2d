// Moves and resizes one client window so that its outer frame lands exactly where asked.
#pragma once

#include <QPoint>
#include <QSize>
#include <functional>
#include <optional>
#include <xcb/xcb.h>

class X11Connection;
struct WindowFacts;

class X11WindowMover
{
public:
    explicit X11WindowMover(X11Connection &connection);

    /// Puts the outer frame's top-left at `frameTopLeft` and its size at `frameSize` (root coordinates; either
    /// may be absent). Maximized and full-screen states go first, since window managers ignore moves of
    /// such windows. One `_NET_MOVERESIZE_WINDOW`, read back, corrected once. Size hints may round the size
    /// down to the window's resize increment. A window gone in between is skipped.
    void place(xcb_window_t window, std::optional<QPoint> frameTopLeft, std::optional<QSize> frameSize);

    /// Puts the window into full screen (after any move, so on the monitor it now stands on).
    void enterFullScreen(xcb_window_t window);
    /// Takes the window out of full screen.
    void leaveFullScreen(xcb_window_t window);

private:
    /// Reads the window until `done` holds, waiting for its events in between, bounded; the last read.
    std::optional<WindowFacts> settle(xcb_window_t window, const std::function<bool(const WindowFacts &)> &done);

    X11Connection &m_connection;
};
