// The simulated desktop's installed applications and launches on virtual time: which entry a launch starts, when it
// reports, and when the new windows appear.
#include "simlauncher.h"

#include "simulateddesktop.h"
#include "virtualclock.h"

#include <QPointer>
#include <algorithm>

namespace {

LaunchOutcome failed(const QString &appId)
{
    LaunchOutcome outcome;
    outcome.appId = appId;
    return outcome;
}

} // namespace

SimLauncher::SimLauncher(SimulatedDesktop &desktop, VirtualClock &clock)
    : m_desktop(desktop)
    , m_clock(clock)
{
}

void SimLauncher::install(const SimInstalledApplication &application)
{
    m_installed.append(application);
}

const SimInstalledApplication *SimLauncher::installedFor(const QString &appId) const
{
    // Launches went through the application's location, so when two installed
    // entries share one, the first entry at that location is what starts.
    const auto byId = std::find_if(
        m_installed.cbegin(), m_installed.cend(), [&](const SimInstalledApplication &a) { return a.appId == appId; });
    if (byId == m_installed.cend())
        return nullptr;
    const auto atLocation = std::find_if(m_installed.cbegin(), m_installed.cend(),
        [&](const SimInstalledApplication &a) { return a.location == byId->location; });
    return &*atLocation;
}

void SimLauncher::reset()
{
    ++m_generation;
    m_installed.clear();
    m_starting.clear();
}

void SimLauncher::later(double delay, std::function<void()> action)
{
    m_clock.schedule(
        delay, [self = QPointer<SimLauncher>(this), generation = m_generation, action = std::move(action)] {
            if (self && self->m_generation == generation)
                action();
        });
}

LaunchOutcome SimLauncher::outcomeFor(qint64 pid, const QString &appId) const
{
    LaunchOutcome outcome;
    outcome.started = true;
    outcome.appId = appId;
    outcome.pid = pid;
    // The windows a snapshot would list now: none while they cannot be read.
    for (const DesktopApplication &application : m_desktop.runningApplications()) {
        if (!application.hasPid(pid))
            continue;
        for (const DesktopWindow &window : application.windows)
            outcome.windows.append(window.id);
    }
    return outcome;
}

void SimLauncher::start(const QString &appId, DesktopPlatform::LaunchCompletion completion)
{
    const SimInstalledApplication *installed = installedFor(appId);
    if (!installed) {
        later(0, [completion, appId] { completion(failed(appId)); });
        return;
    }
    const QString identifier = installed->appId;
    if (const qint64 pid = m_desktop.processIdentifierOf(identifier)) {
        later(0, [this, completion, pid, identifier] { completion(outcomeFor(pid, identifier)); });
        return;
    }
    auto waiting = m_starting.find(identifier);
    if (waiting != m_starting.end()) {
        waiting->append(std::move(completion));
        return;
    }
    m_starting.insert(identifier, { std::move(completion) });
    if (installed->plan.neverCompletes)
        return;
    later(installed->plan.completionDelay, [this, application = *installed] { finish(application); });
}

void SimLauncher::openWindow(const QString &appId, DesktopPlatform::LaunchCompletion completion)
{
    const SimInstalledApplication *installed = installedFor(appId);
    const qint64 pid = installed ? m_desktop.processIdentifierOf(installed->appId) : 0;
    if (!pid) {
        start(appId, std::move(completion));
        return;
    }
    const QString identifier = installed->appId;
    const SimLaunchPlan &plan = installed->plan;
    if (plan.windowDelay) {
        const SimWindow window
            = plan.windows.isEmpty() ? simWindow(identifier, QRectF(0, 0, 800, 600)) : plan.windows.first();
        later(*plan.windowDelay, [this, pid, window] { m_desktop.addWindow(pid, window); });
    }
    later(0, [this, completion, pid, identifier] { completion(outcomeFor(pid, identifier)); });
}

void SimLauncher::finish(const SimInstalledApplication &installed)
{
    const QList<DesktopPlatform::LaunchCompletion> completions = m_starting.take(installed.appId);
    const SimLaunchPlan &plan = installed.plan;
    if (plan.fails) {
        for (const auto &completion : completions)
            completion(failed(installed.appId));
        return;
    }

    SimApplication application;
    application.appId = installed.appId;
    application.activationPolicy = plan.activationPolicy;
    const qint64 pid = m_desktop.addRunningApplication(application);

    if (plan.windowDelay) {
        QList<SimWindow> windows = plan.windows;
        if (windows.isEmpty())
            windows.append(simWindow(installed.appId, QRectF(0, 0, 800, 600)));
        // The windows come after the report even when their delay is shorter.
        const double remaining = std::max(0.0, *plan.windowDelay - plan.completionDelay);
        later(remaining, [this, pid, windows] {
            for (const SimWindow &window : windows)
                m_desktop.addWindow(pid, window);
        });
    }
    const LaunchOutcome outcome = outcomeFor(pid, installed.appId);
    for (const auto &completion : completions)
        completion(outcome);
}
