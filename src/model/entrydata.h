// One workspace entry as a plain value: what the capture produces, the launch
// and placement consume, and the store and backup file read and write.
#pragma once

#include "entrytype.h"

#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

namespace EntryLimits {
/// The largest virtual desktop or workspace number kept; others read as unknown.
inline constexpr int largestVirtualDesktop = 1000000;
} // namespace EntryLimits

struct EntryData {
    QUuid id = QUuid::createUuid();
    QString typeRawValue = QStringLiteral("application");
    std::optional<QString> appBundleIdentifier;
    std::optional<QString> filePath;
    std::optional<QString> websiteURL;
    std::optional<QString> monitorID;
    double frameX = 0;
    double frameY = 0;
    double width = 0;
    double height = 0;
    bool isFullscreen = false;
    /// The window was maximised: it comes back maximised on its monitor.
    bool isMaximized = false;
    double delayAfterLaunch = 0.5;
    std::optional<double> originalScreenX;
    std::optional<double> originalScreenY;
    std::optional<double> originalScreenWidth;
    std::optional<double> originalScreenHeight;
    /// A browser window's tabs after the first (`websiteURL`), in their order.
    QStringList additionalTabURLs;
    /// The virtual desktop (X11) or numbered workspace (i3, sway) the window
    /// was on, -1 for every desktop; absent when the desktop did not say.
    std::optional<int> virtualDesktop;
    /// The window's title when it was saved: when an application shows
    /// several windows, each entry takes back the window with its title.
    std::optional<QString> windowTitle;

    /// The kind read from `typeRawValue`; unknown text reads as application.
    EntryType type() const { return entryTypeFromText(typeRawValue); }

    bool operator==(const EntryData &) const = default;
};
