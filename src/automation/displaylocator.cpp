// Monitor identifiers of the platform's screens: which monitor holds a frame, and which screen has a stored identifier.
#include "displaylocator.h"

DisplayLocator::DisplayLocator(DesktopPlatform &platform)
    : m_platform(platform)
{
}

std::optional<QString> DisplayLocator::monitorIDForScreen(const PlatformScreen &screen) const
{
    if (!screen.displayNumber)
        return std::nullopt;
    auto uuid = m_platform.displayUUID(*screen.displayNumber);
    if (!uuid || uuid->isEmpty())
        return std::nullopt;
    return uuid;
}

std::optional<QString> DisplayLocator::monitorIDForFrame(
    const QRectF &frame, const QList<PlatformScreen> &screens) const
{
    // Identifiers are only asked for the chosen screen: each is a platform call.
    QList<MonitorCandidate> candidates;
    candidates.reserve(screens.size());
    for (const PlatformScreen &screen : screens) {
        MonitorCandidate candidate;
        if (screen.displayNumber)
            candidate.bounds = m_platform.displayBounds(*screen.displayNumber);
        candidates.append(candidate);
    }
    const int index = screenIndexForFrame(frame, candidates);
    if (index < 0)
        return std::nullopt;
    return monitorIDForScreen(screens[index]);
}

std::optional<ScreenMatch> DisplayLocator::screenForMonitorID(
    const QString &monitorID, const QList<PlatformScreen> &screens) const
{
    for (int i = 0; i < screens.size(); ++i) {
        const auto id = monitorIDForScreen(screens[i]);
        if (id && *id == monitorID)
            return ScreenMatch { screens[i], i, *screens[i].displayNumber,
                m_platform.displayBounds(*screens[i].displayNumber) };
    }
    return std::nullopt;
}

std::optional<PlatformScreen> DisplayLocator::mainScreen(const QList<PlatformScreen> &screens) const
{
    const auto index = m_platform.mainScreenIndex();
    if (!index || *index < 0 || *index >= screens.size())
        return std::nullopt;
    return screens[*index];
}
