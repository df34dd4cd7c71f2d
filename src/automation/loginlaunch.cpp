// After login: waits until the desktop lets us place windows, then launches the workspaces marked for it.
#include "loginlaunch.h"

#include <QPointer>

QCoro::Task<int> LoginLaunch::run(
    AutomationService &automation, AutomationClock &clock, std::function<QList<WorkspaceData>()> workspaces)
{
    const QPointer<AutomationService> alive(&automation);
    // Counted in steps: summing 0.5 s steps would drift.
    const int steps = int(longestReadyWait / readyCheckInterval);
    for (int step = 0; step < steps && !automation.canReadWindows(); ++step) {
        co_await clock.sleep(readyCheckInterval);
        if (!alive)
            co_return 0;
    }
    // Read only now: the store may have changed while the desktop came up.
    int launched = 0;
    for (const WorkspaceData &workspace : workspaces()) {
        if (!workspace.autoLaunch || workspace.entries.isEmpty())
            continue;
        co_await automation.launchWorkspace(workspace.entries, workspace.restoreDocuments, false);
        if (!alive)
            co_return launched;
        ++launched;
    }
    co_return launched;
}
