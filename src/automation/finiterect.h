// Whether a rectangle that came from another process holds only finite numbers.
#pragma once

#include <QRectF>
#include <cmath>

/// A rectangle read from a desktop's answer (JSON, D-Bus) may carry NaN or
/// infinities; such a frame is dropped rather than placed or stored.
inline bool isFiniteRect(const QRectF &rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

/// A frame a window can be given: finite and at least one pixel each way.
inline bool isUsableFrame(const QRectF &frame)
{
    return isFiniteRect(frame) && frame.width() >= 1 && frame.height() >= 1;
}
