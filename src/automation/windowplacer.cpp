// Moves and resizes every window of one application to the frame an entry saved, on the monitor it was saved on.
#include "windowplacer.h"

#include "displaylocator.h"
#include "framemapping.h"

#include <cmath>

namespace {

bool isFinite(const QRectF &r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

} // namespace

WindowPlacer::WindowPlacer(DesktopPlatform &platform)
    : m_platform(platform)
{
}

QRectF WindowPlacer::frameFor(const EntryData &entry, const DesktopSnapshot &desktop)
{
    std::optional<QRectF> bounds;
    if (entry.monitorID) {
        if (const auto match = DisplayLocator::monitorWithId(*entry.monitorID, desktop.monitors))
            bounds = match->bounds;
    }
    // A monitor that is gone sends its windows to the focused monitor by the same rules.
    if (!bounds) {
        if (const auto focused = DisplayLocator::focusedMonitor(desktop))
            bounds = focused->bounds;
    }
    if (!bounds)
        return savedFrame(entry);
    return targetFrame(entry, *bounds);
}

QRectF WindowPlacer::frameFor(const EntryData &entry) const
{
    return frameFor(entry, m_platform.snapshot());
}

bool WindowPlacer::placeWindows(qint64 pid, const EntryData &entry) const
{
    const DesktopSnapshot desktop = m_platform.snapshot();
    for (const DesktopApplication &application : desktop.applications) {
        if (application.hasPid(pid))
            return placeWindows(application, entry, desktop);
    }
    return false;
}

bool WindowPlacer::placeWindows(
    const DesktopApplication &application, const EntryData &entry, const DesktopSnapshot &desktop) const
{
    if (!application.windowsKnown || application.windows.isEmpty())
        return false;
    const QRectF frame = frameFor(entry, desktop);
    // Every window gets the same entry: there is nothing to match windows to entries by.
    for (const DesktopWindow &window : application.windows)
        place(window.id, entry, frame);
    return true;
}

void WindowPlacer::placeWindow(WindowId window, const EntryData &entry, const DesktopSnapshot &desktop) const
{
    place(window, entry, frameFor(entry, desktop));
}

void WindowPlacer::place(WindowId window, const EntryData &entry, const QRectF &frame) const
{
    // A frame that is not finite cannot be asked of any window manager; such
    // a window is left where it is.
    if (!isFinite(frame))
        return;
    WindowPlacement placement;
    placement.frame = frame;
    placement.state.fullScreen = entry.isFullscreen;
    // The saved frame is the maximised one: it names the monitor, and the
    // window manager keeps it as the size to return to only if it has none.
    placement.state.maximizedHorizontally = entry.isMaximized && !entry.isFullscreen;
    placement.state.maximizedVertically = placement.state.maximizedHorizontally;
    // Back to its virtual desktop (a tiling window manager's workspace) when it was saved with one.
    placement.desktop = entry.virtualDesktop;
    m_platform.place(window, placement);
    m_platform.activate(window);
}
