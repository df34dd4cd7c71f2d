// The simulated desktop's installed applications and launches on virtual time: which entry a launch starts, when it
// reports, and when the new windows appear.
#pragma once

#include "automation/desktopplatform.h"
#include "simtypes.h"

#include <QHash>
#include <QObject>

class SimulatedDesktop;
class VirtualClock;

/// Starts processes and windows through the desktop's public building calls,
/// so that a launched application is no different from one a scenario lists.
class SimLauncher : public QObject
{
    Q_OBJECT

public:
    SimLauncher(SimulatedDesktop &desktop, VirtualClock &clock);

    void install(const SimInstalledApplication &application);
    /// The entry a launch of `appId` starts, or nullptr when it is not installed.
    const SimInstalledApplication *installedFor(const QString &appId) const;
    /// Reports a running copy at the next move of the clock, joins a launch
    /// under way, or starts the application by its plan. Not installed: a
    /// failed launch, reported at the next move of the clock.
    void start(const QString &appId, DesktopPlatform::LaunchCompletion completion);
    /// A new window of a running application (a browser's `--new-window`):
    /// it appears after the plan's window delay; not running: as `start`.
    void openWindow(const QString &appId, DesktopPlatform::LaunchCompletion completion);
    /// Forgets every entry and launch; events already scheduled are dropped.
    void reset();

private:
    /// Runs `action` after `delay` virtual seconds unless reset or destroyed first.
    void later(double delay, std::function<void()> action);
    void finish(const SimInstalledApplication &installed);
    /// What a launch reports for a running process, read when it reports.
    LaunchOutcome outcomeFor(qint64 pid, const QString &appId) const;

    SimulatedDesktop &m_desktop;
    VirtualClock &m_clock;
    QList<SimInstalledApplication> m_installed;
    /// Completions waiting for a launch under way, by application id: a second
    /// launch of a starting application joins the first.
    QHash<QString, QList<DesktopPlatform::LaunchCompletion>> m_starting;
    quint64 m_generation = 0;
};
