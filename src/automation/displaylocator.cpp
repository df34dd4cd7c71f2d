// Monitor identifiers on the current desktop: which monitor holds a frame, and which monitor has a stored identifier.
#include "displaylocator.h"

std::optional<QString> DisplayLocator::identifierOf(const DesktopMonitor &monitor)
{
    if (!monitor.identifier || monitor.identifier->isEmpty())
        return std::nullopt;
    return monitor.identifier;
}

std::optional<QString> DisplayLocator::monitorIdForFrame(const QRectF &frame, const QList<DesktopMonitor> &monitors)
{
    QList<MonitorCandidate> candidates;
    candidates.reserve(monitors.size());
    for (const DesktopMonitor &monitor : monitors)
        candidates.append(MonitorCandidate { monitor.bounds, identifierOf(monitor) });
    return monitorIDForFrame(frame, candidates);
}

std::optional<ScreenMatch> DisplayLocator::monitorWithId(
    const QString &monitorId, const QList<DesktopMonitor> &monitors)
{
    for (int i = 0; i < monitors.size(); ++i) {
        const auto id = identifierOf(monitors[i]);
        if (id && *id == monitorId)
            return ScreenMatch { monitors[i], i, monitors[i].bounds };
    }
    return std::nullopt;
}

std::optional<DesktopMonitor> DisplayLocator::focusedMonitor(const DesktopSnapshot &snapshot)
{
    const auto index = snapshot.focusedMonitor;
    if (!index || *index < 0 || *index >= snapshot.monitors.size())
        return std::nullopt;
    return snapshot.monitors[*index];
}
