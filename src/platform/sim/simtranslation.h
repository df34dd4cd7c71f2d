// How the old scenario vocabulary reads in the typed picture: window attributes, screens with display numbers, and
// collector answers.
#pragma once

#include "simtypes.h"

#include <QLatin1StringView>
#include <QStringList>
#include <QVariantMap>

/// The rules the automation applied when it read these values itself, so that
/// scenarios written for it describe the same desktop now that the simulated
/// desktop answers in typed form.
namespace SimTranslation {

/// Attribute names and values of the old window vocabulary.
namespace Attribute {
inline constexpr QLatin1StringView title { "AXTitle" };
inline constexpr QLatin1StringView position { "AXPosition" }; // a QPointF
inline constexpr QLatin1StringView size { "AXSize" }; // a QSizeF
inline constexpr QLatin1StringView role { "AXRole" };
inline constexpr QLatin1StringView subrole { "AXSubrole" };
inline constexpr QLatin1StringView document { "AXDocument" };
inline constexpr QLatin1StringView main { "AXMain" };
inline constexpr QLatin1StringView windowRole { "AXWindow" };
inline constexpr QLatin1StringView dialogSubrole { "AXDialog" };
inline constexpr QLatin1StringView fullScreenSubrole { "AXFullScreenWindow" };
} // namespace Attribute

/// A window from its attributes, any of which may be missing or of a wrong
/// type: the title when "AXTitle" is a string, else empty; the position when
/// "AXPosition" is a point with finite coordinates and the size when "AXSize"
/// is a finite size, else zeros; full screen for the subrole
/// "AXFullScreenWindow"; a dialog for role "AXWindow" with subrole "AXDialog",
/// another "AXWindow" normal, anything else `other`; the document when
/// "AXDocument" is a string; main when "AXMain" is true.
SimWindow windowFromAttributes(const QVariantMap &attributes);

/// The monitors the screens make, in their order. A screen with a display
/// number takes its bounds and UUID from the first screen with that number (as
/// the lookups by number did) and has an identifier only for a non-empty UUID;
/// one without a number keeps its own rectangle and has no identifier. A
/// typed identifier is taken as given.
QList<DesktopMonitor> monitors(const QList<SimScreen> &screens);

/// The documents a collector answer stands for: nothing when it failed; the
/// textual items of a non-empty list in order; the one string of a string
/// answer; otherwise an empty list.
std::optional<QStringList> collectorStrings(const ScriptResult &result);

} // namespace SimTranslation
