// The desktop of sway (Wayland) and i3 (X11) through their shared IPC: windows and outputs from GET_TREE and
// GET_OUTPUTS, placement and closing as commands, launching through GIO with new windows reported as events.
#include "i3ipcdesktop.h"

#include "automation/applicationgrouping.h"
#include "automation/finiterect.h"
#include "i3commands.h"
#include "i3framegeometry.h"
#include "ipcevents.h"
#include "ipcsocket.h"
#include "ipcsocketlocator.h"
#include "platform/linux/documents/linuxdocuments.h"
#include "platform/linux/launchwindowmatch.h"
#include "platform/linux/monitoridentity.h"
#include "platform/linux/processexecutable.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>
#include <cmath>

namespace {

// How long the index of desktop entries is trusted before it is read again.
// Launches also look on a timer: a window whose event was missed (no subscription) is still found.
constexpr int launchPollMs = 250;
// After the event connection is lost: how often, and how many times, to subscribe again.
constexpr int resubscribeDelayMs = 500;
constexpr int resubscribeAttempts = 20;

/// The output holding the largest part of `frame`; nothing when it is on none.
const I3Output *outputFor(const QRect &frame, const QList<I3Output> &outputs)
{
    const I3Output *best = nullptr;
    qint64 bestArea = 0;
    for (const I3Output &output : outputs) {
        const QRect part = output.bounds.intersected(frame);
        const qint64 area = part.isEmpty() ? 0 : qint64(part.width()) * part.height();
        if (area > bestArea) {
            best = &output;
            bestArea = area;
        }
    }
    return best;
}

QString fingerprintOf(const I3Output &output)
{
    // sway knows the monitor's make, model and serial; i3 (and sway's headless outputs) only a name.
    if (!output.serial.isEmpty() && output.serial != QLatin1String("Unknown"))
        return QStringList { output.make, output.model, output.serial, output.name }.join(QLatin1Char('\x1f'));
    return MonitorIdentity::fingerprint({}, output.name, output.name);
}

} // namespace

struct I3IpcDesktop::Reading {
    bool ok = false;
    QList<I3Window> windows;
    QList<I3Output> outputs;
    /// The application id of each window.
    QStringList appIds;
};

struct I3IpcDesktop::PendingLaunch {
    QString appId;
    qint64 pid = 0;
    /// The application's windows when it was launched.
    QList<WindowId> before;
    LaunchCompletion completion;
    QElapsedTimer started;
};

std::unique_ptr<I3IpcDesktop> I3IpcDesktop::connect(const QString &socketPath, QString *error)
{
    auto desktop = open(socketPath, error);
    if (desktop)
        desktop->listen();
    return desktop;
}

std::unique_ptr<I3IpcDesktop> I3IpcDesktop::open(const QString &socketPath, QString *error)
{
    QString path = socketPath;
    if (path.isEmpty()) {
        auto found = IpcSocketLocator::find(error);
        if (!found)
            return nullptr;
        path = *found;
    }
    auto socket = IpcSocket::connect(path, error);
    if (!socket)
        return nullptr;
    const auto version = socket->request(IpcMessage::getVersion, {}, error);
    if (!version)
        return nullptr;
    const IpcFlavour flavour = ipcFlavourOf(version->payload);
    return std::unique_ptr<I3IpcDesktop>(new I3IpcDesktop(std::move(socket), path, flavour));
}

I3IpcDesktop::I3IpcDesktop(std::unique_ptr<IpcSocket> socket, QString socketPath, IpcFlavour flavour)
    : m_socket(std::move(socket))
    , m_socketPath(std::move(socketPath))
    , m_flavour(flavour)
    , m_documents(std::make_unique<LinuxDocuments>())
    , m_launcher(QString())
{
}

I3IpcDesktop::~I3IpcDesktop() = default;

// --- The connection -----------------------------------------------------------------------------------

std::optional<QByteArray> I3IpcDesktop::ask(quint32 type, const QByteArray &payload) const
{
    // A connection that broke (the window manager restarted) is opened again for the next request; a request
    // that failed is not sent twice: a command may have been carried out, and a hung window manager would
    // double the wait.
    QString error;
    if (!m_socket || m_socket->broken())
        m_socket = IpcSocket::connect(m_socketPath, &error);
    if (!m_socket)
        return std::nullopt;
    if (auto reply = m_socket->request(type, payload, &error))
        return reply->payload;
    return std::nullopt;
}

bool I3IpcDesktop::run(const QString &command) const
{
    const auto reply = ask(IpcMessage::runCommand, command.toUtf8());
    if (!reply)
        return false;
    // One result per command of the list; a refusal is silent, as the interface wants.
    const QJsonArray results = QJsonDocument::fromJson(*reply).array();
    for (const QJsonValue &result : results) {
        if (!result.toObject().value(QLatin1String("success")).toBool())
            return false;
    }
    return !results.isEmpty();
}

QList<I3Output> I3IpcDesktop::readOutputs() const
{
    QString error;
    const auto reply = ask(IpcMessage::getOutputs, {});
    if (!reply)
        return {};
    return I3Tree::outputs(*reply, &error).value_or(QList<I3Output>());
}

I3IpcDesktop::Reading I3IpcDesktop::read() const
{
    Reading r;
    QString error;
    const auto tree = ask(IpcMessage::getTree, {});
    if (!tree)
        return r;
    auto windows = I3Tree::windows(*tree, m_flavour, &error);
    if (!windows)
        return r;
    r.ok = true;
    r.windows = std::move(*windows);
    r.outputs = readOutputs();
    ProcessExecutables executables;
    for (const I3Window &w : std::as_const(r.windows))
        r.appIds.append(appIdOf(w, executables));
    return r;
}

QPoint I3IpcDesktop::originOf(const QList<I3Output> &outputs)
{
    // Corvalint's coordinates start at the primary monitor's corner; sway has no primary output, and the
    // first one stands in for it as it does in monitors().
    for (const I3Output &output : outputs) {
        if (output.primary)
            return output.bounds.topLeft();
    }
    return outputs.isEmpty() ? QPoint() : outputs.front().bounds.topLeft();
}

QString I3IpcDesktop::appIdOf(const I3Window &window, ProcessExecutables &executables) const
{
    // A Wayland app_id is the application's own name for itself: it takes the place of WM_CLASS.
    const bool wayland = !window.waylandAppId.isEmpty();
    const DesktopEntryIndex::WindowClues clues { wayland ? window.waylandAppId : window.instance,
        wayland ? window.waylandAppId : window.className, wayland ? window.waylandAppId : QString(), QString(),
        executables.of(window.pid) };
    return m_launcher.entries().resolve(clues).value_or(QString());
}

// --- Reading ------------------------------------------------------------------------------------------

DesktopSnapshot I3IpcDesktop::snapshot()
{
    const Reading r = read();
    DesktopSnapshot snapshot;
    snapshot.monitors = monitors();
    const QPoint origin = originOf(r.outputs);
    ApplicationGrouping grouping(snapshot.applications);
    for (qsizetype i = 0; i < r.windows.size(); ++i) {
        const I3Window &w = r.windows[i];
        const QString &id = r.appIds[i];
        DesktopApplication &application = grouping.applicationOf(id, QString::number(w.conId), w.pid);

        DesktopWindow window;
        window.id = w.conId;
        window.appId = id;
        window.pid = w.pid;
        window.title = w.title;
        window.frame = QRectF(w.frame.translated(-origin));
        window.state.fullScreen = w.fullScreen;
        window.state.minimized = w.scratchpad;
        // A tiled window fills the tile the layout gives it, as a maximised one fills its monitor.
        window.state.maximizedHorizontally = !w.floating && !w.fullScreen && !w.scratchpad;
        window.state.maximizedVertically = window.state.maximizedHorizontally;
        if (w.workspaceNumber && *w.workspaceNumber > 0)
            window.desktop = *w.workspaceNumber - 1;
        window.kind = w.transient ? WindowKind::dialog : WindowKind::normal;
        // The IPC names no document: titles, processes and the recent-files lists tell it, as on X11.
        window.document = m_documents->windowDocument(id, w.pid, w.title);
        application.windows.append(window);
        if (w.focused) {
            for (qsizetype m = 0; m < snapshot.monitors.size(); ++m) {
                if (snapshot.monitors[m].connector == w.output)
                    snapshot.focusedMonitor = int(m);
            }
        }
    }
    if (!r.ok) {
        // Nothing read is not "no windows": say so rather than list an empty desktop.
        snapshot.applications.clear();
    }
    if (!snapshot.focusedMonitor && !snapshot.monitors.isEmpty())
        snapshot.focusedMonitor = 0;
    return snapshot;
}

QList<DesktopMonitor> I3IpcDesktop::monitors() const
{
    const QList<I3Output> outputs = readOutputs();
    const QPoint origin = originOf(outputs);
    QList<DesktopMonitor> result;
    bool primaryFound = false;
    for (const I3Output &output : outputs) {
        DesktopMonitor monitor;
        monitor.identifier = MonitorIdentity::identifier(fingerprintOf(output));
        monitor.connector = output.name;
        monitor.bounds = QRectF(output.bounds.translated(-origin));
        // The one whose corner is the origin; the first such, should outputs overlap.
        monitor.primary = !primaryFound && output.bounds.topLeft() == origin;
        primaryFound = primaryFound || monitor.primary;
        if (monitor.primary)
            result.prepend(monitor);
        else
            result.append(monitor);
    }
    return result;
}

bool I3IpcDesktop::canControlWindows() const
{
    return ask(IpcMessage::getVersion, {}).has_value();
}

std::optional<QString> I3IpcDesktop::ownAppId() const
{
    return QString(ownIdentifier);
}

PlatformProfile I3IpcDesktop::profile() const
{
    return m_documents->profile();
}

std::optional<QStringList> I3IpcDesktop::collectDocuments(DocumentRole role, const QString &appId)
{
    const Reading r = read();
    QList<qint64> pids;
    QStringList titles;
    for (qsizetype i = 0; i < r.windows.size(); ++i) {
        if (r.appIds[i] != appId)
            continue;
        if (r.windows[i].pid && !pids.contains(*r.windows[i].pid))
            pids.append(*r.windows[i].pid);
        if (!r.windows[i].title.isEmpty())
            titles.append(r.windows[i].title);
    }
    return m_documents->collect(role, appId, pids, titles);
}

std::optional<QList<BrowserWindowTabs>> I3IpcDesktop::collectBrowserWindows(const QString &appId)
{
    const Reading r = read();
    QList<qint64> pids;
    for (qsizetype i = 0; i < r.windows.size(); ++i) {
        if (r.appIds[i] == appId && r.windows[i].pid && !pids.contains(*r.windows[i].pid))
            pids.append(*r.windows[i].pid);
    }
    return m_documents->collectBrowserWindows(appId, pids);
}

FileStatus I3IpcDesktop::fileStatus(const QString &path) const
{
    const QFileInfo info(path);
    return { info.exists(), info.isDir() };
}

std::unique_ptr<DesktopPlatform> I3IpcDesktop::openReader() const
{
    QString ignored;
    return open(m_socketPath, &ignored);
}

// --- Acting -------------------------------------------------------------------------------------------

/// Where a placement wants a window: full screen on an output, tiled on an output or workspace, or floating
/// on a frame (global coordinates of the window manager).
struct I3IpcDesktop::Goal {
    enum class Kind { fullScreen, tiled, floating } kind = Kind::floating;
    QRect frame;
    QString output;
    std::optional<int> workspace;
};

std::optional<QString> I3IpcDesktop::commandFor(const I3Window &now, const Goal &goal)
{
    switch (goal.kind) {
    case Goal::Kind::fullScreen:
        if (now.fullScreen && (goal.output.isEmpty() || now.output == goal.output))
            return std::nullopt;
        return I3Commands::fullScreen(now.conId, now.output == goal.output ? QString() : goal.output);
    case Goal::Kind::tiled: {
        const bool inPlace = !now.floating && !now.fullScreen
            && (goal.workspace ? now.workspaceNumber == goal.workspace
                               : goal.output.isEmpty() || now.output == goal.output);
        if (inPlace)
            return std::nullopt;
        return I3Commands::tiled(now.conId, goal.output, goal.workspace, now.fullScreen);
    }
    case Goal::Kind::floating:
        if (now.floating && !now.fullScreen && I3FrameGeometry::fits(now.frame, goal.frame))
            return std::nullopt;
        return I3Commands::floatingFrame(now.conId, goal.frame, now.fullScreen);
    }
    return std::nullopt;
}

void I3IpcDesktop::place(WindowId window, const WindowPlacement &placement)
{
    const Reading r = read();
    const I3Window *now = nullptr;
    for (const I3Window &w : r.windows) {
        if (w.conId == window)
            now = &w;
    }
    if (!now)
        return;
    Goal goal;
    goal.frame = now->frame;
    if (isUsableFrame(placement.frame))
        goal.frame = QRect(placement.frame.topLeft().toPoint(), placement.frame.size().toSize())
                         .translated(originOf(r.outputs));
    if (const I3Output *output = outputFor(goal.frame, r.outputs))
        goal.output = output->name;
    if (placement.state.fullScreen) {
        goal.kind = Goal::Kind::fullScreen;
    } else if (placement.state.isMaximized()) {
        goal.kind = Goal::Kind::tiled;
        if (placement.desktop && *placement.desktop >= 0)
            goal.workspace = *placement.desktop + 1;
    }
    const auto command = commandFor(*now, goal);
    if (command && run(*command))
        correctLater(now->conId, goal);
}

void I3IpcDesktop::correctLater(quint64 conId, const Goal &goal)
{
    // Read back once the window manager and the client have answered, and ask once more if the window is
    // not where it should be: an X11 client's late answer to its first tiled size can undo a floating frame,
    // and i3 may leave a window moved onto a full-screen workspace where it was.
    ++m_inFlight;
    QTimer::singleShot(correctionDelayMs, this, [this, conId, goal] {
        --m_inFlight;
        const Reading r = read();
        for (const I3Window &w : r.windows) {
            if (w.conId != conId)
                continue;
            // Once: a window that keeps refusing a size has its reasons (a minimum size).
            if (const auto command = commandFor(w, goal)) {
                ++m_corrections;
                run(*command);
            }
        }
    });
}

void I3IpcDesktop::activate(WindowId window)
{
    const Reading r = read();
    const I3Window *target = nullptr;
    for (const I3Window &w : r.windows) {
        if (w.conId == window)
            target = &w;
    }
    if (!target)
        return;
    // Focusing a window behind a full-screen one ends that full screen (sway and i3 alike): a restored
    // full-screen window must stay so, so its neighbours are left unfocused.
    for (const I3Window &w : r.windows) {
        if (w.fullScreen && w.conId != target->conId && w.output == target->output && w.workspace == target->workspace)
            return;
    }
    run(I3Commands::focus(target->conId));
}

void I3IpcDesktop::closeApplication(const DesktopApplication &application)
{
    // The application as it runs now: its id, and a process or window it had then.
    const Reading r = read();
    for (qsizetype i = 0; i < r.windows.size(); ++i) {
        const I3Window &w = r.windows[i];
        if (r.appIds[i] != application.appId)
            continue;
        bool same = w.pid && application.hasPid(*w.pid);
        for (const DesktopWindow &known : application.windows)
            same = same || known.id == w.conId;
        if (same)
            run(I3Commands::close(w.conId));
    }
}

// --- Launching ----------------------------------------------------------------------------------------

bool I3IpcDesktop::canLaunch(const QString &appId) const
{
    return m_launcher.canLaunch(appId);
}

void I3IpcDesktop::launch(const LaunchRequest &request, LaunchCompletion completion)
{
    const auto running = [this](const QString &appId) {
        const Reading r = read();
        LaunchOutcome outcome { false, appId, std::nullopt, {} };
        for (qsizetype i = 0; i < r.windows.size(); ++i) {
            if (r.appIds[i] != appId)
                continue;
            outcome.windows.append(r.windows[i].conId);
            if (!outcome.pid && r.windows[i].pid)
                outcome.pid = r.windows[i].pid;
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
    watchForWindow(step.outcome.appId, step.outcome.pid.value_or(0), step.before, std::move(completion));
}

void I3IpcDesktop::listen()
{
    m_events = IpcEvents::subscribe(m_socketPath, nullptr);
    if (!m_events)
        return;
    QObject::connect(m_events.get(), &IpcEvents::windowsChanged, this, &I3IpcDesktop::checkLaunches);
    QObject::connect(m_events.get(), &IpcEvents::windowsChanged, this, &DesktopPlatform::windowsChanged);
    m_knownOutputs = monitors();
    QObject::connect(m_events.get(), &IpcEvents::outputsMayHaveChanged, this, [this] {
        QList<DesktopMonitor> now = monitors();
        auto same = [](const QList<DesktopMonitor> &a, const QList<DesktopMonitor> &b) {
            if (a.size() != b.size())
                return false;
            for (qsizetype i = 0; i < a.size(); ++i) {
                if (a[i].connector != b[i].connector || a[i].bounds != b[i].bounds || a[i].primary != b[i].primary)
                    return false;
            }
            return true;
        };
        if (same(now, m_knownOutputs))
            return;
        m_knownOutputs = std::move(now);
        emit monitorsChanged();
    });
    QObject::connect(m_events.get(), &IpcEvents::lost, this, [this] {
        // The window manager restarted or quit: listen again once it is back (i3 restarts in place within a
        // second); meanwhile launches look on their timer.
        QTimer::singleShot(0, this, [this] {
            m_events.reset();
            resubscribe(resubscribeAttempts);
        });
    });
}

void I3IpcDesktop::resubscribe(int attemptsLeft)
{
    if (m_events || attemptsLeft <= 0)
        return;
    QTimer::singleShot(resubscribeDelayMs, this, [this, attemptsLeft] {
        if (m_events)
            return;
        listen();
        resubscribe(attemptsLeft - 1);
    });
}

void I3IpcDesktop::watchForWindow(
    const QString &appId, qint64 pid, const QList<WindowId> &before, LaunchCompletion completion)
{
    auto launch = std::make_unique<PendingLaunch>();
    launch->appId = appId;
    launch->pid = pid;
    launch->before = before;
    launch->completion = std::move(completion);
    launch->started.start();
    m_launches.push_back(std::move(launch));
    if (!m_events)
        listen();
    if (!m_launchPoll) {
        m_launchPoll = new QTimer(this);
        QObject::connect(m_launchPoll, &QTimer::timeout, this, &I3IpcDesktop::checkLaunches);
    }
    if (!m_launchPoll->isActive())
        m_launchPoll->start(launchPollMs);
}

void I3IpcDesktop::checkLaunches()
{
    if (m_launches.empty()) {
        if (m_launchPoll)
            m_launchPoll->stop();
        return;
    }
    const Reading r = read();
    for (auto it = m_launches.begin(); it != m_launches.end();) {
        PendingLaunch &launch = **it;
        // The launch counts once the application shows a window: under its id, or from the process we
        // started (an application that resolves to another id than its entry's).
        LaunchWindowMatch match(launch.appId, launch.pid, launch.before);
        for (qsizetype i = 0; i < r.windows.size(); ++i) {
            const I3Window &w = r.windows[i];
            match.consider(w.conId, r.appIds[i], w.pid);
        }
        const bool found = match.found();
        if (!found && launch.started.elapsed() < launchTimeoutMs) {
            ++it;
            continue;
        }
        EntryLauncher::completeLater(std::move(launch.completion), match.outcome());
        it = m_launches.erase(it);
    }
    if (m_launches.empty() && m_launchPoll)
        m_launchPoll->stop();
}

void I3IpcDesktop::openUrl(const QUrl &url)
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
