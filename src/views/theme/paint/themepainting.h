// The drawing steps the painted theme items share: rounded outlines, the
// line grid, the corner brackets, diagonal gradients and tinted masks.
#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QList>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace ThemePainting {

/// A rounded rectangle; the radius is clamped to half the shorter side.
QPainterPath roundedRect(const QRectF &rect, qreal radius);

/// The 20-point grid over `size`: crisp 1-pixel lines in `color`, kept
/// inside rounded corners of `cornerRadius`.
void paintGrid(QPainter &painter, const QSizeF &size, const QColor &color, qreal cornerRadius = 0);

/// Four brackets of `leg` points in the corners of `rect`.
void paintCornerBrackets(QPainter &painter, const QRectF &rect, qreal leg, qreal width, const QColor &color);

/// A gradient from the top-left to the bottom-right corner of `size` with
/// `colors` spread evenly; a single colour fills the whole way.
QLinearGradient diagonalGradient(const QSizeF &size, const QList<QColor> &colors);

/// The outline of a rounded rectangle `width` wide, lying wholly inside
/// `bounds`, in the diagonal gradient of `colors` over `bounds`.
void strokeRoundedRect(QPainter &painter, const QRectF &bounds, qreal radius, qreal width, const QList<QColor> &colors);

/// `mask`'s alpha filled with `color` (premultiplied ARGB).
QImage tinted(const QImage &mask, const QColor &color);

} // namespace ThemePainting
