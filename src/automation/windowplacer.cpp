// Moves and resizes every window of one application to the frame an entry saved, on the monitor it was saved on.
#include "windowplacer.h"

#include "axattributes.h"
#include "framemapping.h"

#include <QPointF>
#include <QSizeF>
#include <cmath>

namespace {

bool isFinite(const QRectF &r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

} // namespace

WindowPlacer::WindowPlacer(DesktopPlatform &platform, const DisplayLocator &displays)
    : m_platform(platform)
    , m_displays(displays)
{
}

QRectF WindowPlacer::frameFor(const EntryData &entry) const
{
    const QList<PlatformScreen> screens = m_platform.screens();
    std::optional<quint32> displayNumber;
    if (entry.monitorID) {
        if (const auto match = m_displays.screenForMonitorID(*entry.monitorID, screens))
            displayNumber = match->displayNumber;
    }
    // A monitor that is gone sends its windows to the main screen by the same rules.
    if (!displayNumber) {
        if (const auto main = m_displays.mainScreen(screens))
            displayNumber = main->displayNumber;
    }
    if (!displayNumber)
        return savedFrame(entry);
    return targetFrame(entry, m_platform.displayBounds(*displayNumber));
}

bool WindowPlacer::placeWindows(qint64 processIdentifier, const EntryData &entry) const
{
    const auto windows = m_platform.copyWindowList(processIdentifier);
    if (!windows || windows->isEmpty())
        return false;
    // Every window gets the same entry: there is nothing to match windows to entries by.
    for (WindowRef window : *windows)
        place(window, entry, frameFor(entry));
    return true;
}

void WindowPlacer::place(WindowRef window, const EntryData &entry, const QRectF &frame) const
{
    // A frame that is not finite cannot be expressed as a position and size;
    // such a window is left where it is, like a failed value wrap.
    if (!isFinite(frame))
        return;
    if (entry.isFullscreen) {
        m_platform.setAttribute(window, Ax::subrole, QString(Ax::fullScreenSubrole));
    } else {
        m_platform.setAttribute(window, Ax::position, QPointF(frame.x(), frame.y()));
        m_platform.setAttribute(window, Ax::size, QSizeF(frame.width(), frame.height()));
    }
    m_platform.setAttribute(window, Ax::main, true);
}
