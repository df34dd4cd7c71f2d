#include "framecompare.h"

#include <algorithm>
#include <cmath>

double edgeError(const QRectF &a, const QRectF &b)
{
    return std::max({ std::abs(a.left() - b.left()), std::abs(a.top() - b.top()), std::abs(a.right() - b.right()),
        std::abs(a.bottom() - b.bottom()) });
}

QString describe(const QRectF &frame)
{
    return QStringLiteral("frame %1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}
