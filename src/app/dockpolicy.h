// Whether Corvalint shows up in the taskbar, decided from the "showDockIcon" setting.
#pragma once

#include "views/showdockiconsetting.h"

#include <QVariant>

class QSettings;

/// Regular: the main window is listed in taskbars and window switchers.
/// Accessory: it skips them and Corvalint lives in the tray.
enum class DockPolicy { regular, accessory };

/// The policy for a stored "showDockIcon" value, read by the settings page's
/// rule (`showDockIconFromSetting`): only a boolean false, or the text "false"
/// an ini file gives back for it, hides the window from the taskbar.
DockPolicy dockPolicyFromSetting(const QVariant &stored);

/// Reads "showDockIcon" from `settings` and applies the rule above.
DockPolicy readDockPolicy(const QSettings &settings);
