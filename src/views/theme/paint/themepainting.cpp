// The drawing steps the painted theme items share.
#include "themepainting.h"

#include "themegeometry.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ThemePainting {

QPainterPath roundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    const qreal r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    path.addRoundedRect(rect, r, r);
    return path;
}

namespace {
// How far a rounded corner of radius `r` cuts into a line `offset` points
// from the edge (0 once the line is past the curve).
qreal cornerCut(qreal offset, qreal r)
{
    if (r <= 0 || offset >= r)
        return 0;
    const qreal d = r - std::max<qreal>(offset, 0);
    return r - std::sqrt(std::max<qreal>(r * r - d * d, 0));
}
} // namespace

// One-pixel rectangles rather than stroked lines: filling a rectangle is the
// raster engine's fastest path, and the corners are cut by arithmetic rather
// than a clip path.
void paintGrid(QPainter &painter, const QSizeF &size, const QColor &color, qreal cornerRadius)
{
    if (color.alpha() == 0)
        return;
    const qreal w = size.width();
    const qreal h = size.height();
    const qreal r = std::clamp(cornerRadius, 0.0, std::min(w, h) / 2);
    const qreal pixel = 1 / painter.device()->devicePixelRatio() / std::max(painter.transform().m11(), 1e-6);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (double x : ThemeGeometry::gridLines(w)) {
        const qreal cut = std::max(cornerCut(x, r), cornerCut(w - x - pixel, r));
        painter.fillRect(QRectF(x, cut, pixel, h - 2 * cut), color);
    }
    for (double y : ThemeGeometry::gridLines(h)) {
        const qreal cut = std::max(cornerCut(y, r), cornerCut(h - y - pixel, r));
        painter.fillRect(QRectF(cut, y, w - 2 * cut, pixel), color);
    }
    painter.restore();
}

void paintCornerBrackets(QPainter &painter, const QRectF &rect, qreal leg, qreal width, const QColor &color)
{
    painter.save();
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // Inset by half the pen, so the whole stroke lies inside `rect`.
    const qreal h = width / 2;
    const qreal l = rect.left() + h, t = rect.top() + h, r = rect.right() - h, b = rect.bottom() - h;
    const QPointF corners[4][3] = {
        { { l, t + leg }, { l, t }, { l + leg, t } },
        { { r - leg, t }, { r, t }, { r, t + leg } },
        { { l, b - leg }, { l, b }, { l + leg, b } },
        { { r - leg, b }, { r, b }, { r, b - leg } },
    };
    for (const auto &corner : corners)
        painter.drawPolyline(corner, 3);
    painter.restore();
}

QLinearGradient diagonalGradient(const QSizeF &size, const QList<QColor> &colors)
{
    QLinearGradient gradient(QPointF(0, 0), QPointF(size.width(), size.height()));
    if (colors.size() == 1)
        gradient.setColorAt(0, colors.first());
    for (qsizetype i = 0; colors.size() > 1 && i < colors.size(); ++i)
        gradient.setColorAt(qreal(i) / qreal(colors.size() - 1), colors.at(i));
    return gradient;
}

void strokeRoundedRect(QPainter &painter, const QRectF &bounds, qreal radius, qreal width, const QList<QColor> &colors)
{
    const qreal half = width / 2;
    painter.save();
    painter.setPen(QPen(QBrush(diagonalGradient(bounds.size(), colors)), width));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(roundedRect(bounds.adjusted(half, half, -half, -half), radius - half));
    painter.restore();
}

QImage tinted(const QImage &mask, const QColor &color)
{
    QImage out(mask.size(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(mask.devicePixelRatio());
    out.fill(color);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, mask);
    return out;
}

} // namespace ThemePainting
