// The soft coloured halo behind a line of text, painted on the CPU once per
// change of text, font or size.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

class TextGlow : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(qreal glowRadius READ glowRadius WRITE setGlowRadius NOTIFY glowRadiusChanged)
    // The text is laid out this far inside the item's edges, leaving room
    // for the halo; callers give the item the same negative margins.
    Q_PROPERTY(qreal padding READ padding WRITE setPadding NOTIFY paddingChanged)
    // Qt::AlignmentFlag values for the horizontal placement.
    Q_PROPERTY(
        int horizontalAlignment READ horizontalAlignment WRITE setHorizontalAlignment NOTIFY horizontalAlignmentChanged)
    Q_PROPERTY(bool elide READ elide WRITE setElide NOTIFY elideChanged)

public:
    explicit TextGlow(QQuickItem *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QFont font() const { return m_font; }
    void setFont(const QFont &font);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    qreal glowRadius() const { return m_glowRadius; }
    void setGlowRadius(qreal radius);
    qreal padding() const { return m_padding; }
    void setPadding(qreal padding);
    int horizontalAlignment() const { return m_horizontalAlignment; }
    void setHorizontalAlignment(int alignment);
    bool elide() const { return m_elide; }
    void setElide(bool elide);

    void paint(QPainter *painter) override;

signals:
    void textChanged();
    void fontChanged();
    void colorChanged();
    void glowRadiusChanged();
    void paddingChanged();
    void horizontalAlignmentChanged();
    void elideChanged();

protected:
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    void dropMask();

    QString m_text;
    QFont m_font;
    QColor m_color = Qt::transparent;
    qreal m_glowRadius = 0;
    qreal m_padding = 0;
    int m_horizontalAlignment = Qt::AlignLeft;
    bool m_elide = false;
    QImage m_mask;
    QImage m_glow;
};
