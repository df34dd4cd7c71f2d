// Which Qt Quick scene graph Corvalint's windows draw with, chosen before the
// application object exists.
#pragma once

namespace RenderingBackend {

/// Picks Qt Quick's software renderer unless the user chose a scene graph
/// through Qt's own variables (QT_QUICK_BACKEND, QSG_RHI_BACKEND). Call before
/// the application object is created.
void chooseDefault();

} // namespace RenderingBackend
