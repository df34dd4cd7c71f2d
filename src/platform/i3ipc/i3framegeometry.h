// The outer frame of a container from the rectangles GET_TREE reports; pure arithmetic.
#pragma once

#include "ipcflavour.h"

#include <QRect>

class I3FrameGeometry
{
public:
    /// The outer frame, title bar and borders included, in the window manager's global coordinates.
    /// i3's `rect` is the whole container already. sway's `rect` leaves out the title bar above it, whose
    /// height is `deco_rect`'s (its position is relative to the parent and of no use here).
    static QRect outerFrame(IpcFlavour flavour, const QRect &rect, int decorationHeight);

    /// Whether two frames are the same within `tolerance` pixels on every edge.
    static bool fits(const QRect &frame, const QRect &target, int tolerance = 1);
};
