// How the stored "showDockIcon" setting is read, by the settings page and at start.
#pragma once

#include <QVariant>

/// The settings key the settings page writes and the start reads.
inline constexpr char showDockIconSettingKey[] = "showDockIcon";

/// Whether a stored "showDockIcon" value shows the taskbar entry. Only a
/// boolean false hides it; absent, true, or any other type shows it.
///
/// Ini files keep no types, so a bool written as false reads back as the
/// string "false" after a restart: that exact string counts as false. Every
/// other string or number ("0", "no", 0) is a wrong type and reads as true.
/// The application's start reads the setting through this rule as well.
bool showDockIconFromSetting(const QVariant &stored);
