// A rounded rectangle with a diagonal gradient, painted on the CPU.
#include "gradientshape.h"

#include "themepainting.h"

#include <QPainter>

GradientShape::GradientShape(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void GradientShape::setColors(const QList<QColor> &colors)
{
    if (m_colors == colors)
        return;
    m_colors = colors;
    update();
    emit colorsChanged();
}

void GradientShape::setRadius(qreal radius)
{
    if (qFuzzyCompare(m_radius, radius))
        return;
    m_radius = radius;
    update();
    emit radiusChanged();
}

void GradientShape::setStrokeWidth(qreal width)
{
    if (qFuzzyCompare(m_strokeWidth, width))
        return;
    m_strokeWidth = width;
    update();
    emit strokeWidthChanged();
}

void GradientShape::paint(QPainter *painter)
{
    if (m_colors.isEmpty() || width() <= 0 || height() <= 0)
        return;
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(QPointF(0, 0), size());
    if (m_strokeWidth > 0)
        ThemePainting::strokeRoundedRect(*painter, bounds, m_radius, m_strokeWidth, m_colors);
    else
        painter->fillPath(
            ThemePainting::roundedRect(bounds, m_radius), ThemePainting::diagonalGradient(size(), m_colors));
}
