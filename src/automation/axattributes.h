// The names of the window attributes the automation reads and writes. Every
// platform answers under these names, whatever its own vocabulary.
#pragma once

#include <QLatin1StringView>

namespace Ax {
inline constexpr QLatin1StringView windows{"AXWindows"};
inline constexpr QLatin1StringView title{"AXTitle"};
inline constexpr QLatin1StringView position{"AXPosition"}; // QPointF
inline constexpr QLatin1StringView size{"AXSize"};         // QSizeF
inline constexpr QLatin1StringView subrole{"AXSubrole"};   // QString
inline constexpr QLatin1StringView document{"AXDocument"}; // QString (a URL)
inline constexpr QLatin1StringView role{"AXRole"};         // QString
inline constexpr QLatin1StringView main{"AXMain"};         // bool
inline constexpr QLatin1StringView fullScreenSubrole{"AXFullScreenWindow"};
inline constexpr QLatin1StringView windowRole{"AXWindow"};
} // namespace Ax
