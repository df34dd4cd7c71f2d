// Which windows answer a launch that still waits for them.
#include "launchwindowmatch.h"

LaunchWindowMatch::LaunchWindowMatch(const QString &appId, qint64 pid, const QList<WindowId> &before)
    : m_appId(appId)
    , m_pid(pid)
    , m_before(before)
    , m_outcome { true, appId, std::nullopt, {} }
{
}

void LaunchWindowMatch::consider(WindowId window, const QString &windowAppId, std::optional<qint64> windowPid)
{
    const bool ours = m_pid > 0 && windowPid == m_pid;
    if ((windowAppId != m_appId && !ours) || m_before.contains(window))
        return;
    if (ours)
        m_outcome.appId = windowAppId;
    m_outcome.windows.append(window);
    if (ours)
        m_outcome.pid = m_pid;
    else if (!m_outcome.pid)
        m_outcome.pid = windowPid;
}

LaunchOutcome LaunchWindowMatch::outcome() const
{
    return found() ? m_outcome : LaunchOutcome { false, m_appId, std::nullopt, {} };
}
