// Whether Corvalint shows up in the taskbar, decided from the "showDockIcon" setting.
#pragma once

#include <QVariant>

class QSettings;

/// Regular: the main window is listed in taskbars and window switchers.
/// Accessory: it skips them and Corvalint lives in the tray.
enum class DockPolicy { regular, accessory };

/// The settings key the settings page writes and the start reads.
inline constexpr char showDockIconKey[] = "showDockIcon";

/// The policy for a stored "showDockIcon" value. Only a boolean false hides
/// the window from the taskbar; an absent value, true, or a value of another
/// type shows it.
///
/// QSettings' ini files keep no types: a bool written as false reads back as
/// the string "false" after a restart. So the exact strings "false" and "true"
/// (what QSettings writes for a bool) count as booleans; every other string,
/// number or list is a wrong type and shows the window ("0", "no", 0 included).
DockPolicy dockPolicyFromSetting(const QVariant &stored);

/// Reads "showDockIcon" from `settings` and applies the rule above.
DockPolicy readDockPolicy(const QSettings &settings);
