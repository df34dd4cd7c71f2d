// The soft coloured halo behind a line of text, painted on the CPU.
#include "textglow.h"

#include "softblur.h"
#include "themepainting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QQuickWindow>

TextGlow::TextGlow(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setEnabled(false); // decoration only
}

void TextGlow::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    dropMask();
    emit textChanged();
}

void TextGlow::setFont(const QFont &font)
{
    if (m_font == font)
        return;
    m_font = font;
    dropMask();
    emit fontChanged();
}

void TextGlow::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    m_glow = QImage();
    update();
    emit colorChanged();
}

void TextGlow::setGlowRadius(qreal radius)
{
    if (qFuzzyCompare(m_glowRadius, radius))
        return;
    m_glowRadius = radius;
    dropMask();
    emit glowRadiusChanged();
}

void TextGlow::setPadding(qreal padding)
{
    if (qFuzzyCompare(m_padding, padding))
        return;
    m_padding = padding;
    dropMask();
    emit paddingChanged();
}

void TextGlow::setHorizontalAlignment(int alignment)
{
    if (m_horizontalAlignment == alignment)
        return;
    m_horizontalAlignment = alignment;
    dropMask();
    emit horizontalAlignmentChanged();
}

void TextGlow::setElide(bool elide)
{
    if (m_elide == elide)
        return;
    m_elide = elide;
    dropMask();
    emit elideChanged();
}

void TextGlow::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        dropMask();
}

void TextGlow::dropMask()
{
    m_mask = QImage();
    m_glow = QImage();
    update();
}

void TextGlow::paint(QPainter *painter)
{
    if (m_text.isEmpty() || m_color.alpha() == 0 || width() <= 0 || height() <= 0)
        return;
    const qreal dpr = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    if (m_mask.isNull()) {
        m_mask = QImage((size() * dpr).toSize(), QImage::Format_Alpha8);
        m_mask.setDevicePixelRatio(dpr);
        m_mask.fill(0);
        const QRectF box = QRectF(QPointF(0, 0), size()).adjusted(m_padding, m_padding, -m_padding, -m_padding);
        const QString shown = m_elide ? QFontMetricsF(m_font).elidedText(m_text, Qt::ElideRight, box.width()) : m_text;
        QPainter text(&m_mask);
        text.setRenderHint(QPainter::TextAntialiasing);
        text.setFont(m_font);
        text.setPen(Qt::white);
        text.drawText(box, int(Qt::AlignTop) | (m_horizontalAlignment & Qt::AlignHorizontal_Mask), shown);
        text.end();
        SoftBlur::blur(m_mask, m_glowRadius / 2 * dpr);
    }
    if (m_glow.isNull())
        m_glow = ThemePainting::tinted(m_mask, m_color);
    painter->drawImage(QPointF(0, 0), m_glow);
}
