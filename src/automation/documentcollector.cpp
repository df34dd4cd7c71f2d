// The documents that browsers, the file manager and the IDE show, asked of each running one once per capture.
#include "documentcollector.h"

#include <algorithm>
#include <utility>

namespace {

bool isRunning(const QString &appId, const QList<DesktopApplication> &running)
{
    if (appId.isEmpty())
        return false;
    return std::any_of(running.begin(), running.end(),
        [&](const DesktopApplication &application) { return application.appId == appId; });
}

} // namespace

DocumentCollector::DocumentCollector(DesktopPlatform &platform)
    : m_platform(platform)
{
}

QStringList DocumentCollector::run(DocumentRole role, const QString &appId) const
{
    return m_platform.collectDocuments(role, appId).value_or(QStringList());
}

CollectedDocuments DocumentCollector::collect(
    const QList<DesktopApplication> &running, const PlatformProfile &profile) const
{
    const std::pair<DocumentRole, QString> roles[] = {
        { DocumentRole::browser0, profile.browsers[0] },
        { DocumentRole::browser1, profile.browsers[1] },
        { DocumentRole::browser2, profile.browsers[2] },
        { DocumentRole::browser3, profile.browsers[3] },
        { DocumentRole::fileManager, profile.fileManager },
        { DocumentRole::ide, profile.ide },
    };
    CollectedDocuments documents;
    for (const auto &[role, appId] : roles) {
        if (!isRunning(appId, running))
            continue;
        const auto slot = size_t(role) - size_t(DocumentRole::browser0);
        if (slot < documents.browserWindows.size()) {
            documents.browserWindows[slot] = m_platform.collectBrowserWindows(appId);
            if (documents.browserWindows[slot])
                continue;
        }
        documents.list(role) = run(role, appId);
    }
    return documents;
}
