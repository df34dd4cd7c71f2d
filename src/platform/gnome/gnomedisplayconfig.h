// The monitors as Mutter's org.gnome.Mutter.DisplayConfig describes them: connector, vendor and product for each
// logical monitor, and which one is primary. The extension numbers monitors but does not name them.
#pragma once

#include <QDBusConnection>
#include <QList>
#include <QPoint>
#include <QString>
#include <optional>

struct GnomeLogicalMonitor {
    /// The top-left corner in global logical pixels: what ties it to the shell's monitor of the same corner.
    QPoint position;
    double scale = 1;
    bool primary = false;
    /// The first physical monitor shown there (a mirror shows several; the first names it).
    QString connector;
    QString vendor;
    QString product;
    QString serial;
};

namespace GnomeDisplayConfig {

inline constexpr QLatin1StringView service { "org.gnome.Mutter.DisplayConfig" };
inline constexpr QLatin1StringView path { "/org/gnome/Mutter/DisplayConfig" };

/// Asks GetCurrentState (one round trip, at most `timeoutMs`); nothing, with `error` filled, when Mutter does
/// not answer or answers something else.
std::optional<QList<GnomeLogicalMonitor>> read(const QDBusConnection &bus, int timeoutMs, QString *error);

/// The text the monitor identifier is made of: vendor, product and connector. A Wayland client cannot read the
/// EDID; Mutter's serial is left out as the other Wayland desktops have none to offer.
QString fingerprint(const GnomeLogicalMonitor &monitor);

} // namespace GnomeDisplayConfig
