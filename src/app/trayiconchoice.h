// Which icon the tray shows. A panel that draws status icons itself
// (StatusNotifierItem, as Plasma, GNOME's AppIndicator and waybar do) gets the
// one-colour icon by name and recolours it to its own text colour; an X11 tray
// that announces its icon colour gets the symbol in that colour; any other
// tray gets the theme's coloured symbol.
#pragma once

#include <QIcon>
#include <optional>

class TrayIconChoice
{
public:
    static constexpr QLatin1String symbolicName { "corvalint-symbolic" };

    /// `trayForegroundRgb`: the colour an X11 tray asks for (0xRRGGBB), if any.
    static QIcon icon(bool panelDrawsIcons, std::optional<quint32> trayForegroundRgb);
    /// Whether a StatusNotifier host runs on the session bus, so that Qt hands
    /// the icon to the panel rather than embedding a window in an X11 tray.
    static bool panelDrawsIcons();
};
