// Which Qt Quick scene graph Corvalint's windows draw with: OpenGL on a real
// GPU, the software renderer where OpenGL would run on the CPU anyway.
#pragma once

#include <QString>

namespace RenderingBackend {

enum class Choice { Software, OpenGL };

/// The choice for a machine with (or without) a GPU render node, given the GL
/// renderer string once a context could be made (empty when none could).
Choice choiceFor(bool hasRenderNode, const QString &glRenderer);
/// Whether a GL renderer string names one of Mesa's CPU rasterisers.
bool isSoftwareRasterizer(const QString &glRenderer);

/// Before the application object exists: the software renderer when the user
/// did not choose a scene graph through Qt's own variables (QT_QUICK_BACKEND,
/// QSG_RHI_BACKEND) and no GPU render node is there. With one, OpenGL stays
/// in the running until confirmOpenGL() has asked the driver.
void chooseDefault();
/// After the application object exists and before the first window: asks the
/// GL driver what draws, and falls back to the software renderer for llvmpipe,
/// softpipe and swrast. The choice is logged once (category corvalint.rendering).
void confirmOpenGL();

} // namespace RenderingBackend
