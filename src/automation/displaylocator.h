// Monitor identifiers of the platform's screens: which monitor holds a frame, and which screen has a stored identifier.
#pragma once

#include "desktopplatform.h"
#include "monitorchoice.h"
#include "screenmatch.h"

#include <QList>
#include <QRectF>
#include <optional>

class DisplayLocator
{
public:
    explicit DisplayLocator(DesktopPlatform &platform);

    /// The screen's persistent monitor identifier: nothing without a display
    /// number, or when the display has no (or an empty) UUID.
    std::optional<QString> monitorIDForScreen(const PlatformScreen &screen) const;

    /// The identifier of the screen holding the largest part of the frame,
    /// ties going to the earlier screen and a frame on no screen to the first.
    std::optional<QString> monitorIDForFrame(const QRectF &frame, const QList<PlatformScreen> &screens) const;

    /// The first screen of the list with exactly this identifier, with its
    /// display number and current bounds.
    std::optional<ScreenMatch> screenForMonitorID(const QString &monitorID, const QList<PlatformScreen> &screens) const;

    /// The platform's main screen, when it names one inside `screens`.
    std::optional<PlatformScreen> mainScreen(const QList<PlatformScreen> &screens) const;

private:
    DesktopPlatform &m_platform;
};
