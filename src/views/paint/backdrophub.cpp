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
    emit imageChanged();
}
