// Moves and resizes every window of one application to the frame an entry saved, on the monitor it was saved on.
#pragma once

#include "desktopplatform.h"
#include "model/entrydata.h"

#include <QRectF>

class WindowPlacer
{
public:
    explicit WindowPlacer(DesktopPlatform &platform);

    /// Gives every window of the application running as `pid` the entry's
    /// placement, in window order, and activates each. True when the
    /// application has at least one window (whether the desktop obeyed or
    /// not); false when its windows are unknown or there are none, and then
    /// nothing is asked.
    bool placeWindows(qint64 pid, const EntryData &entry) const;
    /// The same for every window of `application`, as `desktop` shows it.
    bool placeWindows(
        const DesktopApplication &application, const EntryData &entry, const DesktopSnapshot &desktop) const;

    /// The frame the entry's windows receive on these monitors: mapped onto
    /// the monitor with the entry's identifier, else onto the focused one; the
    /// saved frame unchanged when there is neither.
    static QRectF frameFor(const EntryData &entry, const DesktopSnapshot &desktop);
    /// The same on the desktop as it is now.
    QRectF frameFor(const EntryData &entry) const;

    /// One window to the entry's placement on these monitors, then activated.
    void placeWindow(WindowId window, const EntryData &entry, const DesktopSnapshot &desktop) const;

private:
    void place(WindowId window, const EntryData &entry, const QRectF &frame) const;

    DesktopPlatform &m_platform;
};
