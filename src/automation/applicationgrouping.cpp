// The applications of a snapshot, gathered from a desktop's flat list of windows.
#include "applicationgrouping.h"

DesktopApplication &ApplicationGrouping::applicationOf(
    const QString &appId, const QString &window, std::optional<qint64> pid)
{
    // \x01 cannot start an application id, so a lone window never joins a real application.
    const QString key = appId.isEmpty() ? QStringLiteral("\x01window:") + window : appId;
    auto found = m_index.constFind(key);
    if (found == m_index.constEnd()) {
        found = m_index.insert(key, m_applications.size());
        DesktopApplication application;
        application.appId = appId;
        m_applications.append(application);
    }
    DesktopApplication &application = m_applications[*found];
    if (pid && !application.pids.contains(*pid))
        application.pids.append(*pid);
    return application;
}
