// What the views say when a capture found no window to save.
#pragma once

#include <QString>

class AutomationService;

/// The German sentence for a capture that gave nothing: no application
/// window open, or a desktop that does not let Corvalint read its windows.
QString emptyCaptureText(const AutomationService &automation);
