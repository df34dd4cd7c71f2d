// Which Qt Quick scene graph Corvalint's windows draw with.
#include "renderingbackend.h"

#include <QQuickWindow>
#include <QSGRendererInterface>

namespace RenderingBackend {

// Every glow, blur and glass panel of the theme is painted on the CPU, so
// OpenGL would only composite finished pictures. What it costs is the start:
// on X sessions without a GPU (Xvfb, VNC, remote X, many VMs) Mesa's llvmpipe
// takes longer to load and compile than the whole window takes to paint.
void chooseDefault()
{
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") || !qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
        return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace RenderingBackend
