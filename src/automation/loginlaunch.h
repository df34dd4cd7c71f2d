// After login: waits until the desktop lets us place windows, then launches the workspaces marked for it.
#pragma once

#include "automationclock.h"
#include "automationservice.h"
#include "model/workspacedata.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <functional>

namespace LoginLaunch {

/// How often the desktop is asked whether it is ready, and how long at most:
/// a window manager that has not come up by then will not, and the
/// workspaces open anyway (placed where the desktop puts them).
inline constexpr double readyCheckInterval = 0.5;
inline constexpr double longestReadyWait = 60.0;

/// Waits until `automation` can read windows (at most `longestReadyWait`),
/// then launches every workspace of `workspaces()` whose `autoLaunch` is set,
/// in order, each after the previous one's last pause. Never in focus mode:
/// several of them would close each other's applications. Not counted as
/// launches by the user. Completes with how many were launched.
QCoro::Task<int> run(
    AutomationService &automation, AutomationClock &clock, std::function<QList<WorkspaceData>()> workspaces);

} // namespace LoginLaunch
