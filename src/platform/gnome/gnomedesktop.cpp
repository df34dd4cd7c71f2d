// The desktop of GNOME Shell on Wayland through Corvalint's shell extension.
#include "gnomedesktop.h"

#include "automation/applicationgrouping.h"
#include "automation/finiterect.h"
#include "gnomeshellclient.h"
#include "platform/linux/documents/linuxdocuments.h"
#include "platform/linux/launchwindowmatch.h"
#include "platform/linux/monitoridentity.h"
#include "platform/linux/processexecutable.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <cmath>

namespace {

WindowKind kindOf(const GnomeShellWindow &w)
{
    if (w.normal)
        return WindowKind::normal;
    if (w.dialog)
        return WindowKind::dialog;
    if (w.utility)
        return WindowKind::utility;
    return WindowKind::other;
}

/// Whether a window is one a user arranges or closes (not the desktop, a dock, a menu or a notification).
bool arranged(const GnomeShellWindow &w)
{
    return kindOf(w) != WindowKind::other;
}

QPoint originOf(const GnomeShellState &state)
{
    // Corvalint's coordinates start at the primary monitor's corner (the one with GNOME's top bar).
    return state.monitors.isEmpty() ? QPoint() : state.monitors.value(state.primary).bounds.topLeft();
}

bool fits(const QRect &now, const QRect &goal)
{
    // Within a pixel: rounding of scaled monitors; character cells (xterm) are the client's own business.
    return std::abs(now.x() - goal.x()) <= 1 && std::abs(now.y() - goal.y()) <= 1
        && std::abs(now.width() - goal.width()) <= 1 && std::abs(now.height() - goal.height()) <= 1;
}

QString withoutDesktopSuffix(const QString &id)
{
    return id.endsWith(QLatin1String(".desktop")) ? id.chopped(8) : id;
}

} // namespace

struct GnomeDesktop::Reading {
    bool ok = false;
    GnomeShellState state;
    /// For each window of the state: its application id.
    QStringList appIds;
};

struct GnomeDesktop::PendingLaunch {
    QString appId;
    qint64 pid = 0;
    QList<WindowId> before;
    LaunchCompletion completion;
    QElapsedTimer started;
};

std::unique_ptr<GnomeDesktop> GnomeDesktop::connect(bool needExtension, QString *error)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        *error = QStringLiteral("needs GNOME Shell on the session bus, and there is no session bus");
        return nullptr;
    }
    const GnomeExtensionStatus::Report report = GnomeExtensionStatus::inspect(bus);
    if (report.state == GnomeExtensionStatus::State::noShell
        || (needExtension && report.state != GnomeExtensionStatus::State::active)) {
        *error = GnomeExtensionStatus::instruction(report.state);
        return nullptr;
    }
    std::unique_ptr<GnomeDesktop> desktop(new GnomeDesktop(std::make_unique<GnomeShellClient>(bus, true), true));
    desktop->m_problem = GnomeExtensionStatus::appInstruction(report.state);
    return desktop;
}

bool GnomeDesktop::sessionIsGnomeWayland()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariable("XDG_SESSION_TYPE") != QLatin1String("wayland"))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const auto reply = bus.interface()->isServiceRegistered(QStringLiteral("org.gnome.Shell"));
    return reply.isValid() && reply.value();
}

GnomeDesktop::GnomeDesktop(std::unique_ptr<GnomeShellClient> client, bool listen)
    : m_client(std::move(client))
    , m_documents(std::make_unique<LinuxDocuments>())
    , m_launcher(QString())
{
    if (!listen)
        return;
    QObject::connect(m_client.get(), &GnomeShellClient::windowAppeared, this, [this] {
        checkLaunches(false);
        emit windowsChanged();
    });
    QObject::connect(m_client.get(), &GnomeShellClient::windowGone, this, &DesktopPlatform::windowsChanged);
    QObject::connect(m_client.get(), &GnomeShellClient::availabilityChanged, this, [this] {
        refreshExtensionStatus();
        emit windowsChanged();
    });
    // Mutter says when monitors change; the names are read again on the next look.
    QDBusConnection bus = m_client->bus();
    bus.connect(QString(GnomeDisplayConfig::service), QString(GnomeDisplayConfig::path),
        QStringLiteral("org.gnome.Mutter.DisplayConfig"), QStringLiteral("MonitorsChanged"), this,
        SLOT(onMonitorsChanged()));
}

GnomeDesktop::~GnomeDesktop() = default;

void GnomeDesktop::onMonitorsChanged()
{
    m_logical.reset();
    m_origin.reset();
    emit monitorsChanged();
}

void GnomeDesktop::refreshExtensionStatus()
{
    const QString problem = GnomeExtensionStatus::appInstruction(GnomeExtensionStatus::inspect(m_client->bus()).state);
    if (problem == m_problem)
        return;
    m_problem = problem;
    emit extensionProblemChanged();
    emit controlInstructionChanged();
}

// --- Reading ------------------------------------------------------------------------------------------

GnomeDesktop::Reading GnomeDesktop::read() const
{
    Reading r;
    QString error;
    const auto answer = m_client->desktop(&error);
    if (!answer) {
        m_lastError = error;
        return r;
    }
    auto state = GnomeShellState::parse(*answer, &error);
    if (!state) {
        m_lastError = error;
        return r;
    }
    r.ok = true;
    r.state = std::move(*state);
    m_origin = originOf(r.state);
    ProcessExecutables executables;
    for (const GnomeShellWindow &w : std::as_const(r.state.windows))
        r.appIds.append(appIdOf(w, executables));
    return r;
}

QString GnomeDesktop::appIdOf(const GnomeShellWindow &window, ProcessExecutables &executables) const
{
    const QString executable = executables.of(window.pid);
    std::optional<QString> resolved;
    if (!window.x11) {
        // A Wayland app_id is the application's own name for itself: it takes the place of WM_CLASS.
        const QString appId = window.gtkApplicationId.isEmpty() ? window.wmClass : window.gtkApplicationId;
        resolved = m_launcher.entries().resolve({ appId, appId, appId, window.sandboxedAppId, executable });
    } else {
        // Xwayland windows: the rules of X11 (WM_CLASS, then the GTK application id, then the executable).
        resolved = m_launcher.entries().resolve(
            { window.wmClassInstance, window.wmClass, window.gtkApplicationId, QString(), executable });
    }
    if (resolved)
        return *resolved;
    // The shell matched it to a desktop file by rules of its own (StartupWMClass and more); "window:N" is none.
    if (!window.shellAppId.isEmpty() && !window.shellAppId.startsWith(QLatin1String("window:"))) {
        const QString id = withoutDesktopSuffix(window.shellAppId);
        if (m_launcher.canLaunch(id))
            return id;
    }
    return {};
}

DesktopSnapshot GnomeDesktop::snapshot()
{
    const Reading r = read();
    DesktopSnapshot snapshot;
    if (!r.ok)
        return snapshot;
    snapshot.monitors = monitorsOf(r.state);
    const QPoint origin = originOf(r.state);
    ApplicationGrouping grouping(snapshot.applications);
    for (qsizetype i = 0; i < r.state.windows.size(); ++i) {
        const GnomeShellWindow &w = r.state.windows[i];
        if (!arranged(w))
            continue;
        const QString &id = r.appIds[i];
        DesktopApplication &application = grouping.applicationOf(id, QString::number(w.id), w.pid);

        DesktopWindow window;
        window.id = w.id;
        window.appId = id;
        window.pid = w.pid;
        window.title = w.title;
        window.frame = QRectF(w.frame.translated(-origin));
        window.state.fullScreen = w.fullScreen;
        window.state.minimized = w.minimized;
        window.state.maximizedHorizontally = w.maximizedHorizontally;
        window.state.maximizedVertically = w.maximizedVertically;
        window.desktop = w.allWorkspaces ? allDesktops : w.workspace;
        window.kind = kindOf(w);
        // The shell names no document: titles, processes and the recent-files lists tell it, as on X11.
        window.document = m_documents->windowDocument(id, w.pid, w.title);
        application.windows.append(window);
        if (w.focused && w.monitor >= 0 && w.monitor < r.state.monitors.size()) {
            const QRectF bounds(r.state.monitors[w.monitor].bounds.translated(-origin));
            for (qsizetype m = 0; m < snapshot.monitors.size(); ++m) {
                if (snapshot.monitors[m].bounds == bounds)
                    snapshot.focusedMonitor = int(m);
            }
        }
    }
    return snapshot;
}

const QList<GnomeLogicalMonitor> &GnomeDesktop::logicalMonitors() const
{
    // Read once and kept until Mutter says the monitors changed: a capture costs one call, not two.
    if (!m_logical) {
        QString error;
        auto logical = GnomeDisplayConfig::read(m_client->bus(), GnomeShellClient::callTimeoutMs, &error);
        if (!logical)
            m_lastError = error;
        m_logical = logical.value_or(QList<GnomeLogicalMonitor>());
    }
    return *m_logical;
}

QList<DesktopMonitor> GnomeDesktop::monitorsOf(const GnomeShellState &state) const
{
    const QPoint origin = originOf(state);
    QList<DesktopMonitor> result;
    for (qsizetype i = 0; i < state.monitors.size(); ++i) {
        const QRect bounds = state.monitors[i].bounds;
        DesktopMonitor monitor;
        // The shell's monitor and Mutter's logical monitor with the same corner are the same.
        for (const GnomeLogicalMonitor &logical : logicalMonitors()) {
            if (logical.position == bounds.topLeft()) {
                monitor.connector = logical.connector;
                monitor.identifier = MonitorIdentity::identifier(GnomeDisplayConfig::fingerprint(logical));
            }
        }
        monitor.bounds = QRectF(bounds.translated(-origin));
        monitor.primary = i == state.primary;
        if (monitor.primary)
            result.prepend(monitor);
        else
            result.append(monitor);
    }
    return result;
}

QList<DesktopMonitor> GnomeDesktop::monitors() const
{
    const Reading r = read();
    return r.ok ? monitorsOf(r.state) : QList<DesktopMonitor>();
}

bool GnomeDesktop::canControlWindows() const
{
    QString ignored;
    return m_client->ready(&ignored);
}

std::optional<QString> GnomeDesktop::ownAppId() const
{
    return QString(ownIdentifier);
}

PlatformProfile GnomeDesktop::profile() const
{
    return m_documents->profile();
}

std::optional<QStringList> GnomeDesktop::collectDocuments(DocumentRole role, const QString &appId)
{
    const Reading r = read();
    QList<qint64> pids;
    QStringList titles;
    for (qsizetype i = 0; i < r.state.windows.size(); ++i) {
        const GnomeShellWindow &w = r.state.windows[i];
        if (r.appIds[i] != appId)
            continue;
        if (w.pid && !pids.contains(*w.pid))
            pids.append(*w.pid);
        if (!w.title.isEmpty())
            titles.append(w.title);
    }
    return m_documents->collect(role, appId, pids, titles);
}

std::optional<QList<BrowserWindowTabs>> GnomeDesktop::collectBrowserWindows(const QString &appId)
{
    const Reading r = read();
    QList<qint64> pids;
    for (qsizetype i = 0; i < r.state.windows.size(); ++i) {
        const GnomeShellWindow &w = r.state.windows[i];
        if (r.appIds[i] == appId && w.pid && !pids.contains(*w.pid))
            pids.append(*w.pid);
    }
    return m_documents->collectBrowserWindows(appId, pids);
}

FileStatus GnomeDesktop::fileStatus(const QString &path) const
{
    const QFileInfo info(path);
    return { info.exists(), info.isDir() };
}

std::unique_ptr<DesktopPlatform> GnomeDesktop::openReader() const
{
    // The same session bus serves every thread; the reader needs no signals.
    return std::unique_ptr<GnomeDesktop>(
        new GnomeDesktop(std::make_unique<GnomeShellClient>(m_client->bus(), false), false));
}

// --- Acting -------------------------------------------------------------------------------------------

void GnomeDesktop::place(WindowId window, const WindowPlacement &placement)
{
    if (!m_origin)
        read();
    QRect frame;
    if (isUsableFrame(placement.frame))
        frame = QRect(placement.frame.topLeft().toPoint(), placement.frame.size().toSize())
                    .translated(m_origin.value_or(QPoint()));
    uint state = 0;
    if (placement.state.maximizedHorizontally)
        state |= GnomeShellClient::maximizedHorizontally;
    if (placement.state.maximizedVertically)
        state |= GnomeShellClient::maximizedVertically;
    if (placement.state.fullScreen)
        state |= GnomeShellClient::fullScreen;
    if (placement.state.minimized)
        state |= GnomeShellClient::minimized;
    int workspace = GnomeShellClient::keepWorkspace;
    if (placement.desktop)
        workspace = *placement.desktop < 0 ? GnomeShellClient::allWorkspaces : std::min(*placement.desktop, 35);
    const quint64 generation = ++m_placementGeneration[window];
    QString error;
    if (!m_client->place(window, frame, state, workspace, &error)) {
        if (!error.isEmpty())
            m_lastError = error;
        return;
    }
    if (state == 0 && frame.isValid())
        correctLater(window, frame, generation);
}

void GnomeDesktop::correctLater(quint64 window, const QRect &frame, quint64 generation)
{
    // A Wayland client takes the new size only when it answers Mutter's configure; one busy with its first frame
    // may answer an older size first. Look once, and ask once more: a window that keeps refusing has its reasons
    // (a minimum size, character cells).
    ++m_inFlight;
    QTimer::singleShot(correctionDelayMs, this, [this, window, frame, generation] {
        --m_inFlight;
        // A later placement of the same window has its own read-back; this one must not undo it.
        if (m_placementGeneration.value(window) != generation)
            return;
        const Reading r = read();
        const GnomeShellWindow *w = r.state.find(window);
        if (w && (!fits(w->frame, frame) || w->fullScreen)) {
            ++m_corrections;
            QString error;
            m_client->place(window, frame, 0, GnomeShellClient::keepWorkspace, &error);
        }
    });
}

void GnomeDesktop::activate(WindowId window)
{
    QString error;
    if (!m_client->activate(window, &error) && !error.isEmpty())
        m_lastError = error;
}

void GnomeDesktop::closeApplication(const DesktopApplication &application)
{
    // The application as it runs now: its id, and a process or window it had then.
    const Reading r = read();
    QList<quint64> ids;
    for (qsizetype i = 0; i < r.state.windows.size(); ++i) {
        const GnomeShellWindow &w = r.state.windows[i];
        if (r.appIds[i] != application.appId || !arranged(w))
            continue;
        bool same = w.pid && application.hasPid(*w.pid);
        for (const DesktopWindow &known : application.windows)
            same = same || known.id == w.id;
        if (same)
            ids.append(w.id);
    }
    QString error;
    if (!ids.isEmpty() && !m_client->close(ids, &error))
        m_lastError = error;
}

// --- Launching ----------------------------------------------------------------------------------------

bool GnomeDesktop::canLaunch(const QString &appId) const
{
    return m_launcher.canLaunch(appId);
}

void GnomeDesktop::launch(const LaunchRequest &request, LaunchCompletion completion)
{
    const auto running = [this](const QString &appId) {
        const Reading r = read();
        LaunchOutcome outcome { false, appId, std::nullopt, {} };
        for (qsizetype i = 0; i < r.state.windows.size(); ++i) {
            const GnomeShellWindow &w = r.state.windows[i];
            if (r.appIds[i] != appId || !arranged(w))
                continue;
            outcome.windows.append(w.id);
            if (!outcome.pid && w.pid)
                outcome.pid = w.pid;
        }
        outcome.started = !outcome.windows.isEmpty();
        return outcome;
    };
    const auto bringForward = [this](WindowId window) { activate(window); };
    const EntryLauncher::Step step = m_launcher.launch(request, running, bringForward);
    if (!step.outcome.started || step.handedToRunning || !completion) {
        EntryLauncher::completeLater(std::move(completion), step.outcome);
        return;
    }
    // Windows the application had before do not count as the launch's.
    auto launch = std::make_unique<PendingLaunch>();
    launch->appId = step.outcome.appId;
    launch->pid = step.outcome.pid.value_or(0);
    launch->before = step.before;
    launch->completion = std::move(completion);
    launch->started.start();
    m_launches.push_back(std::move(launch));
    // The extension says when the window appears; this only ends a launch that never shows one.
    QTimer::singleShot(launchTimeoutMs, this, [this] { checkLaunches(true); });
    // A window that appeared before the launch was noted is found at once.
    QTimer::singleShot(0, this, [this] { checkLaunches(false); });
}

void GnomeDesktop::checkLaunches(bool timedOut)
{
    if (m_launches.empty())
        return;
    const Reading r = read();
    for (auto it = m_launches.begin(); it != m_launches.end();) {
        PendingLaunch &launch = **it;
        // The launch counts once the application shows a window: under its id, or from the process we started
        // (an application that resolves to another id than its entry's).
        LaunchWindowMatch match(launch.appId, launch.pid, launch.before);
        for (qsizetype i = 0; i < r.state.windows.size(); ++i) {
            const GnomeShellWindow &w = r.state.windows[i];
            if (arranged(w))
                match.consider(w.id, r.appIds[i], w.pid);
        }
        const bool found = match.found();
        if (!found && !(timedOut && launch.started.elapsed() >= launchTimeoutMs - 50)) {
            ++it;
            continue;
        }
        EntryLauncher::completeLater(std::move(launch.completion), match.outcome());
        it = m_launches.erase(it);
    }
}

void GnomeDesktop::openUrl(const QUrl &url)
{
    // As on X11: one argument, no shell; text that xdg-open would read as an option is no address.
    const QString address = QString::fromUtf8(url.toEncoded());
    if (address.isEmpty() || address.startsWith(QLatin1Char('-')))
        return;
    QProcess process;
    process.setProgram(QStringLiteral("xdg-open"));
    process.setArguments({ address });
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}
