// A soft glow around a rounded rectangle (or only around its rim), painted
// once on the CPU and kept until its shape changes.
#pragma once

#include <QColor>
#include <QImage>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

class RoundedGlow : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    // How far the glow reaches beyond the shape; the shape lies this far
    // inside the item's edges, so callers give the item negative margins.
    Q_PROPERTY(qreal glowRadius READ glowRadius WRITE setGlowRadius NOTIFY glowRadiusChanged)
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    // 0 makes the whole shape glow; a width makes only a rim of that width glow.
    Q_PROPERTY(qreal rimWidth READ rimWidth WRITE setRimWidth NOTIFY rimWidthChanged)

public:
    explicit RoundedGlow(QQuickItem *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    qreal glowRadius() const { return m_glowRadius; }
    void setGlowRadius(qreal radius);
    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    qreal rimWidth() const { return m_rimWidth; }
    void setRimWidth(qreal width);

    void paint(QPainter *painter) override;

signals:
    void colorChanged();
    void glowRadiusChanged();
    void cornerRadiusChanged();
    void rimWidthChanged();

protected:
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    void dropMask();
    QImage shapeMask(const QSize &deviceSize, qreal dpr) const;
    static QImage unsliced(const QImage &slices, const QSize &device, int corner, qreal dpr);

    QColor m_color = Qt::transparent;
    qreal m_glowRadius = 0;
    qreal m_cornerRadius = 0;
    qreal m_rimWidth = 0;
    QImage m_mask; // the blurred shape (or its nine slices), white
    QImage m_glow; // the glow at full size in m_color
};
