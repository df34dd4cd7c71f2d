// A soft glow around a rounded rectangle, painted on the CPU.
#include "roundedglow.h"

#include "softblur.h"
#include "themepainting.h"

#include <QPainter>
#include <QQuickWindow>
#include <algorithm>
#include <cmath>

RoundedGlow::RoundedGlow(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setEnabled(false); // decoration only
}

void RoundedGlow::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    m_glow = QImage(); // the shape stays; only the tint is redone
    update();
    emit colorChanged();
}

void RoundedGlow::setGlowRadius(qreal radius)
{
    if (qFuzzyCompare(m_glowRadius, radius))
        return;
    m_glowRadius = radius;
    dropMask();
    emit glowRadiusChanged();
}

void RoundedGlow::setCornerRadius(qreal radius)
{
    if (qFuzzyCompare(m_cornerRadius, radius))
        return;
    m_cornerRadius = radius;
    dropMask();
    emit cornerRadiusChanged();
}

void RoundedGlow::setRimWidth(qreal width)
{
    if (qFuzzyCompare(m_rimWidth, width))
        return;
    m_rimWidth = width;
    dropMask();
    emit rimWidthChanged();
}

void RoundedGlow::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        dropMask();
}

void RoundedGlow::dropMask()
{
    m_mask = QImage();
    m_glow = QImage();
    update();
}

// A glow of any size is the blur of a small copy of the shape, cut in nine:
// corners stay, the one-pixel middle row and column stretch. Along a
// straight edge the blurred shape does not change, so the stretch is exact.
void RoundedGlow::paint(QPainter *painter)
{
    if (m_color.alpha() == 0 || width() <= 0 || height() <= 0)
        return;
    const qreal dpr = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const QSize device = (size() * dpr).toSize();
    // From each edge of the item: the glow, the corner's curve and the blur's
    // reach back into the shape.
    const int corner = int(std::ceil((2 * m_glowRadius + std::max<qreal>(m_cornerRadius, 0) + 1) * dpr));
    const bool sliced = device.width() > 2 * corner + 1 && device.height() > 2 * corner + 1;
    if (m_mask.isNull())
        m_mask = shapeMask(sliced ? QSize(2 * corner + 1, 2 * corner + 1) : device, dpr);
    if (m_glow.isNull())
        m_glow = sliced ? unsliced(ThemePainting::tinted(m_mask, m_color), device, corner, dpr)
                        : ThemePainting::tinted(m_mask, m_color);
    painter->drawImage(QPointF(0, 0), m_glow);
}

// Lays the nine slices out once at full size, so each frame draws one picture.
QImage RoundedGlow::unsliced(const QImage &slices, const QSize &device, int corner, qreal dpr)
{
    QImage out(device, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(dpr);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const qreal c = corner / dpr;
    const qreal w = device.width() / dpr;
    const qreal h = device.height() / dpr;
    const qreal xs[4] = { 0, c, w - c, w }; // target columns
    const qreal ys[4] = { 0, c, h - c, h };
    const int sx[4] = { 0, corner, corner + 1, 2 * corner + 1 }; // source columns
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF target(QPointF(xs[column], ys[row]), QPointF(xs[column + 1], ys[row + 1]));
            const QRectF source(QPointF(sx[column], sx[row]), QPointF(sx[column + 1], sx[row + 1]));
            painter.drawImage(target, slices, source);
        }
    }
    return out;
}

QImage RoundedGlow::shapeMask(const QSize &deviceSize, qreal dpr) const
{
    QImage mask(deviceSize, QImage::Format_Alpha8);
    mask.setDevicePixelRatio(dpr);
    mask.fill(0);
    QPainter shape(&mask);
    shape.setRenderHint(QPainter::Antialiasing);
    const QRectF inner = QRectF(QPointF(0, 0), QSizeF(deviceSize) / dpr)
                             .adjusted(m_glowRadius, m_glowRadius, -m_glowRadius, -m_glowRadius);
    if (m_rimWidth > 0) {
        // Only the rim glows: the inside of the shape stays clear.
        shape.setPen(QPen(Qt::white, m_rimWidth));
        shape.drawPath(ThemePainting::roundedRect(inner, m_cornerRadius));
    } else {
        // Half strength on the shape's edge, faded out `glowRadius` beyond it.
        shape.fillPath(ThemePainting::roundedRect(inner, m_cornerRadius), Qt::white);
    }
    shape.end();
    SoftBlur::blur(mask, m_glowRadius / 2.5 * dpr);
    return mask;
}
