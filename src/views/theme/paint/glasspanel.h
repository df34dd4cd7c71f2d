// The glass panel behind dashboard blocks and cards: the window's blurred
// background where the panel lies, a dark tint, a faint grid, a gradient rim
// and corner brackets, all in one painted item.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

class BackdropHub;

class GlassPanel : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    Q_PROPERTY(QColor tint READ tint WRITE setTint NOTIFY tintChanged)
    Q_PROPERTY(QColor gridColor READ gridColor WRITE setGridColor NOTIFY gridColorChanged)
    // The rim's gradient colours from the top-left corner to the bottom-right.
    Q_PROPERTY(QList<QColor> rimColors READ rimColors WRITE setRimColors NOTIFY rimColorsChanged)
    Q_PROPERTY(qreal rimWidth READ rimWidth WRITE setRimWidth NOTIFY rimWidthChanged)
    Q_PROPERTY(QColor bracketColor READ bracketColor WRITE setBracketColor NOTIFY bracketColorChanged)

public:
    explicit GlassPanel(QQuickItem *parent = nullptr);

    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    QColor tint() const { return m_tint; }
    void setTint(const QColor &tint);
    QColor gridColor() const { return m_gridColor; }
    void setGridColor(const QColor &color);
    QList<QColor> rimColors() const { return m_rimColors; }
    void setRimColors(const QList<QColor> &colors);
    qreal rimWidth() const { return m_rimWidth; }
    void setRimWidth(qreal width);
    QColor bracketColor() const { return m_bracketColor; }
    void setBracketColor(const QColor &color);

    void paint(QPainter *painter) override;

signals:
    void cornerRadiusChanged();
    void tintChanged();
    void gridColorChanged();
    void rimColorsChanged();
    void rimWidthChanged();
    void bracketColorChanged();

protected:
    void itemChange(ItemChange change, const ItemChangeData &data) override;

private:
    void follow(QQuickWindow *window);
    void checkPosition();
    void restyle();
    QImage paintSurface(const QSize &device, qreal dpr) const;

    qreal m_cornerRadius = 12;
    QColor m_tint = Qt::transparent;
    QColor m_gridColor = Qt::transparent;
    QList<QColor> m_rimColors;
    qreal m_rimWidth = 1.2;
    QColor m_bracketColor = Qt::transparent;

    QPointer<BackdropHub> m_hub;
    QMetaObject::Connection m_frameConnection;
    QMetaObject::Connection m_hubConnection;
    QPointF m_paintedAt { qQNaN(), qQNaN() };
    QImage m_surface; // everything but the backdrop, kept between paints
};
