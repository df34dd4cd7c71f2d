// A deterministic desktop in memory, on virtual time: what the automation sees and a log of what it asked for.
#include "simulateddesktop.h"

#include "simscenario.h"
#include "simtranslation.h"

#include <QUrl>
#include <algorithm>
#include <cmath>

SimulatedDesktop::SimulatedDesktop(VirtualClock &clock, QObject *parent)
    : DesktopPlatform(parent)
    , m_clock(clock)
    , m_launcher(*this, clock)
{
}

void SimulatedDesktop::reset()
{
    m_launcher.reset();
    m_screens.clear();
    m_mainScreen.reset();
    setTrusted(true);
    m_ownIdentifier.reset();
    m_profile = PlatformProfile::classic();
    m_processes.clear();
    m_windows.clear();
    m_activeWindow.reset();
    m_scripts.clear();
    m_files.clear();
    m_snapshots = 0;
    m_log.clear();
    emit monitorsChanged();
}

bool SimulatedDesktop::loadScenario(const QJsonObject &scenario, QString *error)
{
    reset();
    QString problem;
    if (!SimScenario::apply(scenario, *this, &problem)) {
        reset();
        if (error)
            *error = problem;
        return false;
    }
    return true;
}

bool SimulatedDesktop::loadScenario(const QString &path, QString *error)
{
    QJsonObject scenario;
    return SimScenario::readFile(path, &scenario, error) && loadScenario(scenario, error);
}

// --- Building ------------------------------------------------------------------

void SimulatedDesktop::setScreens(const QList<SimScreen> &screens)
{
    m_screens = screens;
    emit monitorsChanged();
}

void SimulatedDesktop::setMainScreenIndex(std::optional<int> index)
{
    m_mainScreen = index;
}

void SimulatedDesktop::setTrusted(bool trusted)
{
    if (m_trusted == trusted)
        return;
    m_trusted = trusted;
    emit trustedChanged();
}

void SimulatedDesktop::setOwnAppId(const std::optional<QString> &identifier)
{
    m_ownIdentifier = identifier;
}

void SimulatedDesktop::setProfile(const PlatformProfile &profile)
{
    m_profile = profile;
}

qint64 SimulatedDesktop::addRunningApplication(const SimApplication &application)
{
    Process process;
    process.appId = application.appId;
    process.activationPolicy = application.activationPolicy;
    qint64 pid = application.processIdentifier;
    if (pid == 0 || this->process(pid))
        pid = m_nextProcessIdentifier;
    m_nextProcessIdentifier = std::max(m_nextProcessIdentifier, pid + 1);
    process.pid = pid;
    process.windowListMissing = application.windowListMissing;
    process.quitsOnTerminate = application.quitsOnTerminate;
    m_processes.append(process);
    for (const SimWindow &window : application.windows)
        addWindow(pid, window);
    return pid;
}

WindowId SimulatedDesktop::addWindow(qint64 processIdentifier, const SimWindow &window)
{
    Process *owner = process(processIdentifier);
    if (!owner)
        return 0;
    const WindowId id = m_nextWindow++;
    m_windows.insert(id, window);
    owner->windows.append(id);
    emit windowsChanged();
    return id;
}

void SimulatedDesktop::removeWindow(WindowId window)
{
    m_windows.remove(window);
    for (Process &p : m_processes)
        p.windows.removeAll(window);
    if (m_activeWindow == window)
        m_activeWindow.reset();
    emit windowsChanged();
}

void SimulatedDesktop::setWindow(WindowId window, const SimWindow &state)
{
    auto it = m_windows.find(window);
    if (it != m_windows.end())
        *it = state;
}

void SimulatedDesktop::setWindowListMissing(qint64 processIdentifier, bool missing)
{
    if (Process *p = process(processIdentifier))
        p->windowListMissing = missing;
}

void SimulatedDesktop::installApplication(const SimInstalledApplication &application)
{
    m_launcher.install(application);
}

void SimulatedDesktop::setScriptResult(const QString &applicationIdentifier, const ScriptResult &result)
{
    m_scripts.insert(applicationIdentifier, result);
}

void SimulatedDesktop::setFile(const QString &path, bool isDirectory)
{
    m_files.insert(path, isDirectory);
}

// --- Inspecting ----------------------------------------------------------------

QList<WindowId> SimulatedDesktop::windowsOf(qint64 processIdentifier) const
{
    const Process *p = process(processIdentifier);
    return p ? p->windows : QList<WindowId>();
}

std::optional<SimWindow> SimulatedDesktop::window(WindowId window) const
{
    const auto it = m_windows.constFind(window);
    if (it == m_windows.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<DesktopApplication> SimulatedDesktop::runningApplication(const QString &appId) const
{
    for (const Process &p : m_processes) {
        if (p.appId == appId)
            return applicationOf(p);
    }
    return std::nullopt;
}

qint64 SimulatedDesktop::processIdentifierOf(const QString &appId) const
{
    const auto application = runningApplication(appId);
    return application ? application->pids.value(0) : 0;
}

QList<DesktopApplication> SimulatedDesktop::runningApplications() const
{
    QList<DesktopApplication> list;
    for (const Process &p : m_processes)
        list.append(applicationOf(p));
    return list;
}

void SimulatedDesktop::log(SimRequest request)
{
    request.time = m_clock.now();
    m_log.append(request);
    emit requestLogged(m_log.last());
}

SimulatedDesktop::Process *SimulatedDesktop::process(qint64 processIdentifier)
{
    for (Process &p : m_processes) {
        if (p.pid == processIdentifier)
            return &p;
    }
    return nullptr;
}

const SimulatedDesktop::Process *SimulatedDesktop::process(qint64 processIdentifier) const
{
    return const_cast<SimulatedDesktop *>(this)->process(processIdentifier);
}

const SimulatedDesktop::Process *SimulatedDesktop::processWithWindow(WindowId window) const
{
    for (const Process &p : m_processes) {
        if (p.windows.contains(window))
            return &p;
    }
    return nullptr;
}

// --- Reading -------------------------------------------------------------------

DesktopApplication SimulatedDesktop::applicationOf(const Process &process) const
{
    DesktopApplication application;
    application.appId = process.appId.value_or(QString());
    application.pids = { process.pid };
    application.regular = process.activationPolicy == SimPolicy::regular;
    // While untrusted every window list read failed, as it did for an
    // application whose list is missing: its windows are unknown, not none.
    application.windowsKnown = m_trusted && !process.windowListMissing;
    if (!application.windowsKnown)
        return application;
    for (WindowId id : process.windows)
        application.windows.append(m_windows.value(id).toDesktopWindow(id, application.appId, process.pid));
    return application;
}

DesktopSnapshot SimulatedDesktop::snapshot()
{
    ++m_snapshots;
    DesktopSnapshot snapshot;
    snapshot.applications = runningApplications();
    snapshot.monitors = monitors();
    if (m_mainScreen && *m_mainScreen >= 0 && *m_mainScreen < snapshot.monitors.size())
        snapshot.focusedMonitor = m_mainScreen;
    return snapshot;
}

QList<DesktopMonitor> SimulatedDesktop::monitors() const
{
    return SimTranslation::monitors(m_screens);
}

std::optional<QStringList> SimulatedDesktop::collectDocuments(DocumentRole role, const QString &appId)
{
    Q_UNUSED(role)
    SimRequest request;
    request.action = QStringLiteral("runScript");
    request.application = appId;
    log(request);
    return SimTranslation::collectorStrings(m_scripts.value(appId, ScriptResult { false, QVariantList() }));
}

void SimulatedDesktop::setBrowserWindows(const QString &applicationIdentifier, const QList<BrowserWindowTabs> &windows)
{
    m_browserWindows.insert(applicationIdentifier, windows);
}

std::optional<QList<BrowserWindowTabs>> SimulatedDesktop::collectBrowserWindows(const QString &appId)
{
    const auto it = m_browserWindows.constFind(appId);
    if (it == m_browserWindows.constEnd())
        return std::nullopt;
    SimRequest request;
    request.action = QStringLiteral("runScript");
    request.application = appId;
    log(request);
    return *it;
}

FileStatus SimulatedDesktop::fileStatus(const QString &path) const
{
    const auto it = m_files.constFind(path);
    if (it == m_files.constEnd())
        return {};
    return { true, *it };
}

// --- Acting on windows -----------------------------------------------------------

SimRequest SimulatedDesktop::windowRequest(const QString &action, WindowId window) const
{
    SimRequest request;
    request.action = action;
    request.window = window;
    if (const Process *owner = processWithWindow(window)) {
        request.application = owner->appId.value_or(QString());
        request.processIdentifier = owner->pid;
    }
    return request;
}

SimWindow *SimulatedDesktop::writableWindow(WindowId window)
{
    auto it = m_windows.find(window);
    if (!m_trusted || it == m_windows.end() || it->refusesWrites)
        return nullptr;
    return &*it;
}

void SimulatedDesktop::place(WindowId window, const WindowPlacement &placement)
{
    SimRequest request = windowRequest(QStringLiteral("place"), window);
    request.placement = placement;
    log(request);

    SimWindow *target = writableWindow(window);
    if (!target)
        return;
    // Full screen keeps the frame the window had: the desktop decides where a
    // full-screen window stands. A frame that is not finite cannot be asked
    // of a real desktop, so it changes nothing either.
    const QRectF &f = placement.frame;
    const bool finite
        = std::isfinite(f.x()) && std::isfinite(f.y()) && std::isfinite(f.width()) && std::isfinite(f.height());
    if (!placement.state.fullScreen && finite)
        target->frame = f;
    target->state = placement.state;
    if (placement.desktop)
        target->desktop = placement.desktop;
}

void SimulatedDesktop::activate(WindowId window)
{
    log(windowRequest(QStringLiteral("activate"), window));
    if (!writableWindow(window))
        return;
    // One main window per application, as a desktop keeps one focused window.
    if (const Process *owner = processWithWindow(window)) {
        for (WindowId sibling : owner->windows)
            m_windows[sibling].main = sibling == window;
    }
    m_activeWindow = window;
}

// --- Applications ------------------------------------------------------------------

void SimulatedDesktop::closeApplication(const DesktopApplication &application)
{
    SimRequest request;
    request.action = QStringLiteral("terminate");
    request.application = application.appId;
    request.processIdentifier = application.pids.value(0);
    log(request);

    for (qint64 pid : application.pids) {
        const Process *p = process(pid);
        if (!p || !p->quitsOnTerminate)
            continue;
        // A copy: removing a window changes the process's list.
        const QList<WindowId> windows = p->windows;
        for (WindowId window : windows)
            removeWindow(window);
        m_processes.removeIf([pid](const Process &q) { return q.pid == pid; });
    }
}

void SimulatedDesktop::openUrl(const QUrl &url)
{
    SimRequest request;
    request.action = QStringLiteral("openURL");
    request.url = url.toString();
    log(request);
}

bool SimulatedDesktop::canLaunch(const QString &appId) const
{
    return m_launcher.installedFor(appId) != nullptr;
}

void SimulatedDesktop::launch(const LaunchRequest &request, LaunchCompletion completion)
{
    const SimInstalledApplication *installed = m_launcher.installedFor(request.appId);
    SimRequest logged;
    switch (request.mode) {
    case LaunchMode::open:
        logged.action = request.urls.isEmpty() ? QStringLiteral("openApplication") : QStringLiteral("openDocuments");
        break;
    case LaunchMode::newWindow:
        logged.action = QStringLiteral("openWindow");
        break;
    case LaunchMode::newTabs:
        logged.action = QStringLiteral("openTabs");
        break;
    }
    logged.application = installed ? installed->appId : request.appId;
    for (const QUrl &url : request.urls)
        logged.documents.append(url.toString());
    log(logged);
    if (!completion)
        completion = [](const LaunchOutcome &) {};
    if (request.mode == LaunchMode::newWindow)
        m_launcher.openWindow(request.appId, std::move(completion));
    else
        m_launcher.start(request.appId, std::move(completion));
}
