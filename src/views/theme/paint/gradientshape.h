// A rounded rectangle filled or outlined with a gradient running from its
// top-left to its bottom-right corner (icon tiles, buttons, glass rims).
#pragma once

#include <QColor>
#include <QList>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

class GradientShape : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    // The gradient's colours, spread evenly along the diagonal.
    Q_PROPERTY(QList<QColor> colors READ colors WRITE setColors NOTIFY colorsChanged)
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)
    // 0 fills the shape; a width draws only its outline, inside the item.
    Q_PROPERTY(qreal strokeWidth READ strokeWidth WRITE setStrokeWidth NOTIFY strokeWidthChanged)

public:
    explicit GradientShape(QQuickItem *parent = nullptr);

    QList<QColor> colors() const { return m_colors; }
    void setColors(const QList<QColor> &colors);
    qreal radius() const { return m_radius; }
    void setRadius(qreal radius);
    qreal strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(qreal width);

    void paint(QPainter *painter) override;

signals:
    void colorsChanged();
    void radiusChanged();
    void strokeWidthChanged();

private:
    QList<QColor> m_colors;
    qreal m_radius = 0;
    qreal m_strokeWidth = 0;
};
