// The blurred picture of one window's background, shared per window.
#include "backdrophub.h"

#include <QQuickWindow>

BackdropHub *BackdropHub::of(QQuickWindow *window)
{
    if (!window)
        return nullptr;
    if (auto *hub = window->findChild<BackdropHub *>(QString(), Qt::FindDirectChildrenOnly))
        return hub;
    return new BackdropHub(window);
}

void BackdropHub::setImage(const QImage &image, qreal pixelsPerPoint)
{
    m_image = image;
    m_pixelsPerPoint = pixelsPerPoint;
    m_enlarged = QImage();
    emit imageChanged();
}

const QImage &BackdropHub::imageAt(qreal pixelsPerPoint)
{
    if (m_image.isNull() || pixelsPerPoint <= 0) {
        m_enlarged = QImage();
        return m_enlarged;
    }
    if (m_enlarged.isNull() || !qFuzzyCompare(m_enlarged.devicePixelRatio(), pixelsPerPoint)) {
        // The picture covers the window from its corner; it may reach past it.
        const QSize whole = (QSizeF(m_image.size()) * (pixelsPerPoint / m_pixelsPerPoint)).toSize();
        m_enlarged = m_image.scaled(whole, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_enlarged.setDevicePixelRatio(pixelsPerPoint);
    }
    return m_enlarged;
}
