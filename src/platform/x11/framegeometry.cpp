// Pure rectangle maths between client windows, outer frames and _NET_MOVERESIZE_WINDOW requests.
#include "framegeometry.h"

namespace {

// win_gravity values of ICCCM (the core protocol's gravity numbering).
enum Gravity { northWest = 1, north, northEast, west, center, east, southWest, south, southEast, staticGravity };

// Where along an axis the gravity's reference point sits: 0 at the start, 1 at the middle, 2 at the end.
int horizontalHalves(int gravity)
{
    switch (gravity) {
    case north:
    case center:
    case south:
        return 1;
    case northEast:
    case east:
    case southEast:
        return 2;
    default:
        return 0;
    }
}

int verticalHalves(int gravity)
{
    switch (gravity) {
    case west:
    case center:
    case east:
        return 1;
    case southWest:
    case south:
    case southEast:
        return 2;
    default:
        return 0;
    }
}

bool sideFits(int actual, int target, int increment)
{
    return actual == target || (increment > 1 && actual < target && actual > target - increment);
}

} // namespace

QRect FrameGeometry::outerFrame(const QRect &client, const FrameExtents &wm, const FrameExtents &csd)
{
    return client.adjusted(csd.left - wm.left, csd.top - wm.top, wm.right - csd.right, wm.bottom - csd.bottom);
}

QSize FrameGeometry::clientSize(const QSize &frameSize, const FrameExtents &wm, const FrameExtents &csd)
{
    return { frameSize.width() - wm.left - wm.right + csd.left + csd.right,
        frameSize.height() - wm.top - wm.bottom + csd.top + csd.bottom };
}

QPoint FrameGeometry::requestPosition(const QPoint &frameTopLeft, const QSize &clientSize, int winGravity,
    int borderWidth, const FrameExtents &wm, const FrameExtents &csd)
{
    if (winGravity == staticGravity)
        return frameTopLeft + QPoint(wm.left - csd.left, wm.top - csd.top);
    // The window manager's frame (which wraps the whole client, shadow included) and the client rectangle
    // (border included) placed at the requested x, y share the gravity's reference point.
    const QPoint wmFrameTopLeft = frameTopLeft - QPoint(csd.left, csd.top);
    const QSize wmFrameSize(clientSize.width() + wm.left + wm.right, clientSize.height() + wm.top + wm.bottom);
    const QSize clientOuter(clientSize.width() + 2 * borderWidth, clientSize.height() + 2 * borderWidth);
    const int h = horizontalHalves(winGravity);
    const int v = verticalHalves(winGravity);
    return { wmFrameTopLeft.x() + (h * (wmFrameSize.width() - clientOuter.width())) / 2,
        wmFrameTopLeft.y() + (v * (wmFrameSize.height() - clientOuter.height())) / 2 };
}

bool FrameGeometry::fits(const QRect &frame, const QRect &target, const QSize &resizeIncrement)
{
    return frame.topLeft() == target.topLeft() && sideFits(frame.width(), target.width(), resizeIncrement.width())
        && sideFits(frame.height(), target.height(), resizeIncrement.height());
}
