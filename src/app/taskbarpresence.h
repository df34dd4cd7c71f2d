// Whether Corvalint shows up in the taskbar, decided from the "showDockIcon" setting.
#pragma once

#include "views/showdockiconsetting.h"

#include <QVariant>

class QSettings;

/// Listed: the main window shows in taskbars and window switchers.
/// Tray only: it skips them and Corvalint lives in the tray.
enum class TaskbarPresence { listed, trayOnly };

/// The presence for a stored "showDockIcon" value, read by the settings page's
/// rule (`showDockIconFromSetting`): only a boolean false, or the text "false"
/// an ini file gives back for it, hides the window from the taskbar.
TaskbarPresence taskbarPresenceFromSetting(const QVariant &stored);

/// Reads "showDockIcon" from `settings` and applies the rule above.
TaskbarPresence readTaskbarPresence(const QSettings &settings);
