// The glass panel behind dashboard blocks and cards, painted on the CPU.
#include "glasspanel.h"

#include "backdrophub.h"
#include "themepainting.h"

#include <QPainter>
#include <QQuickWindow>

namespace {
constexpr qreal bracketLeg = 8;
constexpr qreal bracketWidth = 1.5;
} // namespace

GlassPanel::GlassPanel(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setEnabled(false); // decoration only
    setAntialiasing(true);
}

void GlassPanel::setCornerRadius(qreal radius)
{
    if (qFuzzyCompare(m_cornerRadius, radius))
        return;
    m_cornerRadius = radius;
    restyle();
    emit cornerRadiusChanged();
}

void GlassPanel::setTint(const QColor &tint)
{
    if (m_tint == tint)
        return;
    m_tint = tint;
    restyle();
    emit tintChanged();
}

void GlassPanel::setGridColor(const QColor &color)
{
    if (m_gridColor == color)
        return;
    m_gridColor = color;
    restyle();
    emit gridColorChanged();
}

void GlassPanel::setRimColors(const QList<QColor> &colors)
{
    if (m_rimColors == colors)
        return;
    m_rimColors = colors;
    restyle();
    emit rimColorsChanged();
}

void GlassPanel::setRimWidth(qreal width)
{
    if (qFuzzyCompare(m_rimWidth, width))
        return;
    m_rimWidth = width;
    restyle();
    emit rimWidthChanged();
}

void GlassPanel::setBracketColor(const QColor &color)
{
    if (m_bracketColor == color)
        return;
    m_bracketColor = color;
    restyle();
    emit bracketColorChanged();
}

void GlassPanel::itemChange(ItemChange change, const ItemChangeData &data)
{
    if (change == ItemSceneChange)
        follow(data.window);
    QQuickPaintedItem::itemChange(change, data);
}

// What shows through depends on where the panel lies in the window, and a
// scrolling or moving ancestor tells nobody; so the position is compared once
// per frame, before the frame is put together.
void GlassPanel::follow(QQuickWindow *window)
{
    disconnect(m_frameConnection);
    disconnect(m_hubConnection);
    m_hub = BackdropHub::of(window);
    if (!window || !m_hub)
        return;
    m_frameConnection = connect(window, &QQuickWindow::afterAnimating, this, &GlassPanel::checkPosition);
    m_hubConnection = connect(m_hub, &BackdropHub::imageChanged, this, [this] { update(); });
}

void GlassPanel::checkPosition()
{
    if (!m_hub || m_hub->image().isNull() || !isVisible())
        return;
    if (mapToScene(QPointF(0, 0)) != m_paintedAt)
        update();
}

void GlassPanel::paint(QPainter *painter)
{
    if (width() <= 0 || height() <= 0)
        return;
    const qreal dpr = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    m_paintedAt = mapToScene(QPointF(0, 0));
    if (m_hub && !m_hub->image().isNull()) {
        // At the window's own resolution the backdrop is only moved, never
        // scaled, while the panel scrolls.
        QBrush backdrop(m_hub->imageAt(dpr));
        QTransform placement;
        placement.translate(-m_paintedAt.x(), -m_paintedAt.y());
        backdrop.setTransform(placement);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(ThemePainting::roundedRect(QRectF(QPointF(0, 0), size()), m_cornerRadius), backdrop);
    }
    // While the panel scrolls only the backdrop changes; the rest is kept.
    const QSize device = (size() * dpr).toSize();
    if (m_surface.size() != device || !qFuzzyCompare(m_surface.devicePixelRatio(), dpr))
        m_surface = paintSurface(device, dpr);
    painter->drawImage(QPointF(0, 0), m_surface);
}

// The tint, grid, rim and brackets, on a clear picture laid over the backdrop.
QImage GlassPanel::paintSurface(const QSize &device, qreal dpr) const
{
    QImage surface(device, QImage::Format_ARGB32_Premultiplied);
    surface.setDevicePixelRatio(dpr);
    surface.fill(Qt::transparent);
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(QPointF(0, 0), size());
    painter.fillPath(ThemePainting::roundedRect(bounds, m_cornerRadius), m_tint);
    ThemePainting::paintGrid(painter, size(), m_gridColor, m_cornerRadius);
    if (!m_rimColors.isEmpty() && m_rimWidth > 0)
        ThemePainting::strokeRoundedRect(painter, bounds, m_cornerRadius, m_rimWidth, m_rimColors);
    if (m_bracketColor.alpha() > 0)
        ThemePainting::paintCornerBrackets(painter, bounds, bracketLeg, bracketWidth, m_bracketColor);
    return surface;
}

void GlassPanel::restyle()
{
    m_surface = QImage();
    update();
}
