// Moves and resizes every window of one application to the frame an entry saved, on the monitor it was saved on.
#pragma once

#include "desktopplatform.h"
#include "displaylocator.h"
#include "model/entrydata.h"

#include <QRectF>

class WindowPlacer
{
public:
    WindowPlacer(DesktopPlatform &platform, const DisplayLocator &displays);

    /// Gives every window of the process the entry's placement, in window
    /// order. True when the application has at least one window (whether the
    /// writes took effect or not); false when its window list cannot be read
    /// or is empty, and then nothing is written.
    bool placeWindows(qint64 processIdentifier, const EntryData &entry) const;

    /// The frame the entry's windows receive right now: mapped onto the screen
    /// with the entry's monitor identifier, else onto the main screen; the
    /// saved frame unchanged when there is no such screen or it has no display
    /// number.
    QRectF frameFor(const EntryData &entry) const;

private:
    void place(WindowRef window, const EntryData &entry, const QRectF &frame) const;

    DesktopPlatform &m_platform;
    const DisplayLocator &m_displays;
};
