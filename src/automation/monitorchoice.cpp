// Which monitor holds a window: the largest-overlap rule over an ordered screen list, free of any I/O.
#include "monitorchoice.h"

#include <algorithm>
#include <cmath>

namespace {

bool hasNaN(const QRectF &r)
{
    return std::isnan(r.x()) || std::isnan(r.y()) || std::isnan(r.width()) || std::isnan(r.height());
}

} // namespace

double intersectionArea(const QRectF &a, const QRectF &b)
{
    // std::min and std::max would quietly drop a NaN edge: refuse those first.
    if (hasNaN(a) || hasNaN(b))
        return 0.0;
    const QRectF ra = a.normalized();
    const QRectF rb = b.normalized();
    const double left = std::max(ra.left(), rb.left());
    const double right = std::min(ra.right(), rb.right());
    const double top = std::max(ra.top(), rb.top());
    const double bottom = std::min(ra.bottom(), rb.bottom());
    const double width = right - left;
    const double height = bottom - top;
    // The negated comparisons also turn NaN into "no overlap".
    if (!(width > 0) || !(height > 0))
        return 0.0;
    const double area = width * height;
    return std::isfinite(area) ? area : 0.0;
}

int screenIndexForFrame(const QRectF &frame, const QList<MonitorCandidate> &screens)
{
    if (screens.isEmpty())
        return -1;
    int best = -1;
    double bestArea = 0.0;
    for (int i = 0; i < screens.size(); ++i) {
        if (!screens[i].bounds)
            continue;
        const double area = intersectionArea(*screens[i].bounds, frame);
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best >= 0 ? best : 0;
}

std::optional<QString> monitorIDForFrame(const QRectF &frame, const QList<MonitorCandidate> &screens)
{
    const int index = screenIndexForFrame(frame, screens);
    if (index < 0)
        return std::nullopt;
    return screens[index].monitorID;
}
