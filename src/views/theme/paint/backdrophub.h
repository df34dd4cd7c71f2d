// The blurred picture of one window's background, shared between the item
// that draws the background and the glass panels that show it through.
#pragma once

#include <QImage>
#include <QObject>

class QQuickWindow;

class BackdropHub : public QObject
{
    Q_OBJECT

public:
    /// The hub of `window`, made on first use and owned by the window; null
    /// for a null window.
    static BackdropHub *of(QQuickWindow *window);

    /// The blurred background, covering the window from its top-left corner;
    /// null while the window has no blurred background.
    const QImage &image() const { return m_image; }
    /// Pixels of image() per point of the window (it may be smaller than the
    /// window: a blurred picture loses nothing by it).
    qreal pixelsPerPoint() const { return m_pixelsPerPoint; }
    void setImage(const QImage &image, qreal pixelsPerPoint);

    /// image() enlarged to `pixelsPerPoint` of the window, made once per
    /// picture: panels that scroll copy from it at their place every frame, and
    /// a copy without scaling is many times cheaper than a scaled one.
    const QImage &imageAt(qreal pixelsPerPoint);

signals:
    void imageChanged();

private:
    using QObject::QObject;

    QImage m_image;
    qreal m_pixelsPerPoint = 1;
    QImage m_enlarged;
};
