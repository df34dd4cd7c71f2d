// Pure rectangle maths between client windows, outer frames and _NET_MOVERESIZE_WINDOW requests.
#pragma once

#include "frameextents.h"

#include <QPoint>
#include <QRect>

class FrameGeometry
{
public:
    /// The outer frame the user sees: the client rectangle (root coordinates) grown by the window manager's
    /// `_NET_FRAME_EXTENTS` and shrunk by the client's own `_GTK_FRAME_EXTENTS` (its invisible shadow).
    static QRect outerFrame(const QRect &client, const FrameExtents &wm, const FrameExtents &csd);

    /// The client size that gives an outer frame of `frameSize`.
    static QSize clientSize(const QSize &frameSize, const FrameExtents &wm, const FrameExtents &csd);

    /// The x, y of a `_NET_MOVERESIZE_WINDOW` request with gravity 0 that puts the outer frame's top-left at
    /// `frameTopLeft`. ICCCM 4.1.2.3: the position is that of the client's reference point given by its
    /// `win_gravity`; with StaticGravity it is the client's own top-left, with the other gravities the point of
    /// the frame that the gravity names (frame and client rectangle share it).
    /// Whether a frame stands where `target` asks: the same top-left, and each side the same or (for a window
    /// whose size hints give a resize increment) within one step below it, since size hints round down.
    static bool fits(const QRect &frame, const QRect &target, const QSize &resizeIncrement);

    static QPoint requestPosition(const QPoint &frameTopLeft, const QSize &clientSize, int winGravity, int borderWidth,
        const FrameExtents &wm, const FrameExtents &csd);
};
