// The blurred copy of the main window's background that glass panels show.
#include "windowbackdrop.h"

#include "backdrophub.h"
#include "softblur.h"
#include "themepainting.h"

#include <QPainter>
#include <QQuickWindow>
#include <cmath>

namespace {
// The blur is worked out on a picture this many times smaller per side: the
// result is smooth anyway, and the cost falls with the square of it.
constexpr int blurReduction = 4;
} // namespace

WindowBackdrop::WindowBackdrop(QQuickItem *parent)
    : QQuickItem(parent)
{
    setEnabled(false);
}

WindowBackdrop::~WindowBackdrop()
{
    if (auto *hub = BackdropHub::of(window()))
        hub->setImage(QImage(), 1);
}

void WindowBackdrop::setTopColor(const QColor &color)
{
    if (m_topColor == color)
        return;
    m_topColor = color;
    changed();
    emit topColorChanged();
}

void WindowBackdrop::setBottomColor(const QColor &color)
{
    if (m_bottomColor == color)
        return;
    m_bottomColor = color;
    changed();
    emit bottomColorChanged();
}

void WindowBackdrop::setGridColor(const QColor &color)
{
    if (m_gridColor == color)
        return;
    m_gridColor = color;
    changed();
    emit gridColorChanged();
}

void WindowBackdrop::setBlurRadius(qreal radius)
{
    if (qFuzzyCompare(m_blurRadius, radius))
        return;
    m_blurRadius = radius;
    changed();
    emit blurRadiusChanged();
}

void WindowBackdrop::changed()
{
    polish();
}

void WindowBackdrop::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        changed();
}

void WindowBackdrop::itemChange(ItemChange change, const ItemChangeData &data)
{
    if (change == ItemSceneChange) {
        if (auto *old = BackdropHub::of(window()))
            old->setImage(QImage(), 1);
        if (data.window)
            polish();
    }
    QQuickItem::itemChange(change, data);
}

void WindowBackdrop::paintBackground(QPainter &painter, qreal gridInk) const
{
    QLinearGradient gradient(QPointF(0, 0), QPointF(0, height()));
    gradient.setColorAt(0, m_topColor);
    gradient.setColorAt(1, m_bottomColor);
    painter.fillRect(QRectF(QPointF(0, 0), size()), gradient);
    QColor grid = m_gridColor;
    grid.setAlphaF(float(grid.alphaF() * gridInk));
    ThemePainting::paintGrid(painter, size(), grid);
}

// Polishing runs on the GUI thread before each frame that needs it, where
// the panels listening to the hub may be told to repaint.
void WindowBackdrop::updatePolish()
{
    publish(window());
}

void WindowBackdrop::publish(QQuickWindow *window)
{
    BackdropHub *hub = BackdropHub::of(window);
    if (!hub)
        return;
    const qreal dpr = window->effectiveDevicePixelRatio();
    const QSize full = (size() * dpr).toSize();
    if (full.isEmpty() || width() <= 0 || height() <= 0) {
        hub->setImage(QImage(), dpr);
        return;
    }
    const QSize small(
        (full.width() + blurReduction - 1) / blurReduction, (full.height() + blurReduction - 1) / blurReduction);
    QImage reduced(small, QImage::Format_ARGB32_Premultiplied);
    reduced.fill(Qt::transparent);
    {
        QPainter painter(&reduced);
        painter.scale(qreal(small.width()) / width(), qreal(small.height()) / height());
        // Grid lines stay one pixel wide on the smaller picture, so they
        // would leave more ink than on the window.
        paintBackground(painter, 1.0 / blurReduction);
    }
    // A blur reaching `blurRadius` points fades out over about three
    // standard deviations.
    SoftBlur::blur(reduced, m_blurRadius * dpr / 3 / blurReduction, SoftBlur::Edges::Extended);
    hub->setImage(reduced, dpr * qreal(small.width()) / qreal(full.width()));
}
