// Hands a blurred copy of the main window's background (the dark gradient and
// its grid) to the window's glass panels; draws nothing itself.
#pragma once

#include <QColor>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

class WindowBackdrop : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor topColor READ topColor WRITE setTopColor NOTIFY topColorChanged)
    Q_PROPERTY(QColor bottomColor READ bottomColor WRITE setBottomColor NOTIFY bottomColorChanged)
    // The grid layer's colour as it shows (opacity included), for the blurred copy.
    Q_PROPERTY(QColor gridColor READ gridColor WRITE setGridColor NOTIFY gridColorChanged)
    // The reach of the blur the glass panels show, in points.
    Q_PROPERTY(qreal blurRadius READ blurRadius WRITE setBlurRadius NOTIFY blurRadiusChanged)

public:
    explicit WindowBackdrop(QQuickItem *parent = nullptr);
    ~WindowBackdrop() override;

    QColor topColor() const { return m_topColor; }
    void setTopColor(const QColor &color);
    QColor bottomColor() const { return m_bottomColor; }
    void setBottomColor(const QColor &color);
    QColor gridColor() const { return m_gridColor; }
    void setGridColor(const QColor &color);
    qreal blurRadius() const { return m_blurRadius; }
    void setBlurRadius(qreal radius);

signals:
    void topColorChanged();
    void bottomColorChanged();
    void gridColorChanged();
    void blurRadiusChanged();

protected:
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData &data) override;
    void updatePolish() override;

private:
    void changed();
    void paintBackground(QPainter &painter, qreal gridInk) const;
    void publish(QQuickWindow *window);

    QColor m_topColor = Qt::black;
    QColor m_bottomColor = Qt::black;
    QColor m_gridColor = Qt::transparent;
    qreal m_blurRadius = 32;
};
