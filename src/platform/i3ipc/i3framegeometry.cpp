// The outer frame of a container from the rectangles GET_TREE reports; pure arithmetic.
#include "i3framegeometry.h"

#include <cstdlib>

QRect I3FrameGeometry::outerFrame(IpcFlavour flavour, const QRect &rect, int decorationHeight)
{
    if (flavour == IpcFlavour::i3 || decorationHeight <= 0)
        return rect;
    return QRect(rect.x(), rect.y() - decorationHeight, rect.width(), rect.height() + decorationHeight);
}

bool I3FrameGeometry::fits(const QRect &frame, const QRect &target, int tolerance)
{
    return std::abs(frame.left() - target.left()) <= tolerance && std::abs(frame.top() - target.top()) <= tolerance
        && std::abs(frame.right() - target.right()) <= tolerance
        && std::abs(frame.bottom() - target.bottom()) <= tolerance;
}
