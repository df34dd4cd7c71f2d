// The desktop of KWin on Wayland through scripts that KWin runs on request.
#include "kwindesktop.h"

#include "automation/applicationgrouping.h"
#include "automation/finiterect.h"
#include "kwinoutputnames.h"
#include "kwinscriptrunner.h"
#include "platform/linux/documents/linuxdocuments.h"
#include "platform/linux/launchwindowmatch.h"
#include "platform/linux/monitoridentity.h"
#include "platform/linux/processexecutable.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>
#include <cmath>

namespace {

WindowKind kindOf(const KWinWindow &w)
{
    if (w.normalWindow)
        return WindowKind::normal;
    if (w.dialog)
        return WindowKind::dialog;
    if (w.utility)
        return WindowKind::utility;
    return WindowKind::other;
}

/// Whether a window is Corvalint's own: known by this process, whatever application id it resolves to.
bool ours(const KWinWindow &w)
{
    return w.pid && *w.pid == QCoreApplication::applicationPid();
}

/// Whether a window is one a user arranges or closes (not a panel, the desktop, a menu or a notification), and
/// not one of Corvalint's own: those are never listed, placed as another application's or closed.
bool arranged(const KWinWindow &w)
{
    return !w.specialWindow && kindOf(w) != WindowKind::other && !ours(w);
}

QPoint originOf(const KWinWindowList &list)
{
    // Corvalint's coordinates start at the primary monitor's corner: KWin's first output stands in for it.
    return list.screens.isEmpty() ? QPoint() : list.screens.front().topLeft();
}

bool fits(const QRect &now, const QRect &goal)
{
    // Within a pixel: rounding of scaled outputs; character cells (xterm) are the client's own business.
    return std::abs(now.x() - goal.x()) <= 1 && std::abs(now.y() - goal.y()) <= 1
        && std::abs(now.width() - goal.width()) <= 1 && std::abs(now.height() - goal.height()) <= 1;
}

} // namespace

struct KWinDesktop::Reading {
    bool ok = false;
    KWinWindowList list;
    /// For each window of the list: its application id, and whether it is maximised either way.
    QStringList appIds;
    QList<std::pair<bool, bool>> maximized;

    const KWinWindow *find(WindowId id) const
    {
        for (const KWinWindow &w : list.windows) {
            if (kwinWindowNumber(w.internalId) == id)
                return &w;
        }
        return nullptr;
    }
};

struct KWinDesktop::PendingLaunch {
    QString appId;
    qint64 pid = 0;
    QList<WindowId> before;
    LaunchCompletion completion;
    QElapsedTimer started;
};

std::unique_ptr<KWinDesktop> KWinDesktop::connect(QString *error)
{
    auto runner = KWinScriptRunner::open(error);
    if (!runner)
        return nullptr;
    return std::unique_ptr<KWinDesktop>(new KWinDesktop(std::move(runner)));
}

bool KWinDesktop::sessionIsKWinWayland()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariable("XDG_SESSION_TYPE") != QLatin1String("wayland"))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const auto reply = bus.interface()->isServiceRegistered(QString(KWinScriptRunner::kwinService));
    return reply.isValid() && reply.value();
}

KWinDesktop::KWinDesktop(std::unique_ptr<KWinScriptRunner> runner)
    : m_runner(std::move(runner))
    , m_documents(std::make_unique<LinuxDocuments>())
    , m_launcher(QString())
{
}

KWinDesktop::~KWinDesktop() = default;

// --- Reading ------------------------------------------------------------------------------------------

std::optional<QByteArray> KWinDesktop::runScript(const QString &body) const
{
    QString error;
    auto result = m_runner->run(body, &error);
    if (!result)
        m_lastError = error;
    return result;
}

KWinDesktop::Reading KWinDesktop::read(bool withStates) const
{
    Reading r;
    const auto answer = runScript(KWinScripts::listBody());
    if (!answer)
        return r;
    QString error;
    auto list = KWinWindowList::parse(*answer, &error);
    if (!list) {
        m_lastError = error;
        return r;
    }
    r.ok = true;
    r.list = std::move(*list);
    QStringList ids;
    for (const KWinWindow &w : std::as_const(r.list.windows)) {
        if (withStates && arranged(w))
            ids.append(w.internalId);
    }
    // The script API has no maximised state; KWin's D-Bus interface has it, one window per call. Only a
    // snapshot needs it: placing, closing and looking for new windows go without.
    const QHash<QString, QVariantMap> info = m_runner->windowInfo(ids);
    ProcessExecutables executables;
    for (const KWinWindow &w : std::as_const(r.list.windows)) {
        r.appIds.append(appIdOf(w, executables));
        const QVariantMap one = info.value(w.internalId);
        r.maximized.append({ one.value(QStringLiteral("maximizeHorizontal")).toInt() != 0,
            one.value(QStringLiteral("maximizeVertical")).toInt() != 0 });
    }
    return r;
}

QString KWinDesktop::appIdOf(const KWinWindow &window, ProcessExecutables &executables) const
{
    if (!window.x11) {
        // A Wayland app_id is the application's own name for itself: it takes the place of WM_CLASS.
        const QString appId = window.desktopFileName.isEmpty() ? window.resourceClass : window.desktopFileName;
        const DesktopEntryIndex::WindowClues clues { appId, appId, appId, QString(), executables.of(window.pid) };
        return m_launcher.entries().resolve(clues).value_or(QString());
    }
    // Xwayland windows: the rules of X11 (WM_CLASS, then the GTK or KDE application id, then the executable).
    // KWin hands WM_CLASS over lower-cased, so StartupWMClass is compared regardless of case.
    const DesktopEntryIndex::WindowClues clues { window.resourceName, window.resourceClass, window.desktopFileName,
        window.desktopFileName, executables.of(window.pid), true };
    return m_launcher.entries().resolve(clues).value_or(QString());
}

DesktopSnapshot KWinDesktop::snapshot()
{
    const Reading r = read(true);
    DesktopSnapshot snapshot;
    if (!r.ok)
        return snapshot;
    snapshot.monitors = monitorsOf(r.list);
    const QPoint origin = originOf(r.list);
    ApplicationGrouping grouping(snapshot.applications);
    for (qsizetype i = 0; i < r.list.windows.size(); ++i) {
        const KWinWindow &w = r.list.windows[i];
        // The monitor of the active window is the focused one, Corvalint's own window included.
        if (w.active && !w.specialWindow) {
            for (qsizetype m = 0; m < snapshot.monitors.size(); ++m) {
                if (snapshot.monitors[m].bounds.contains(QRectF(w.frame.translated(-origin)).center()))
                    snapshot.focusedMonitor = int(m);
            }
        }
        if (!arranged(w))
            continue;
        const QString &id = r.appIds[i];
        DesktopApplication &application = grouping.applicationOf(id, w.internalId, w.pid);

        DesktopWindow window;
        window.id = kwinWindowNumber(w.internalId);
        window.appId = id;
        window.pid = w.pid;
        window.title = KWinWindowList::withoutDuplicateMark(w.caption);
        window.frame = QRectF(w.frame.translated(-origin));
        window.state.fullScreen = w.fullScreen;
        window.state.minimized = w.minimized;
        window.state.maximizedHorizontally = r.maximized[i].first;
        window.state.maximizedVertically = r.maximized[i].second;
        window.desktop = w.onAllDesktops ? allDesktops : w.desktop - 1;
        window.kind = kindOf(w);
        // KWin names no document: titles, processes and the recent-files lists tell it, as on X11.
        window.document = m_documents->windowDocument(id, w.pid, window.title);
        application.windows.append(window);
    }
    return snapshot;
}

QList<DesktopMonitor> KWinDesktop::monitorsOf(const KWinWindowList &list) const
{
    // KWin 6's script names its outputs; for 5.27's the support information does, one more call.
    bool named = list.outputs.size() == list.screens.size();
    for (const KWinOutputName &output : list.outputs)
        named = named && !output.name.isEmpty();
    const QList<KWinOutputName> names = named
        ? list.outputs
        : KWinOutputNames::match(KWinOutputNames::parse(m_runner->supportInformation()), list.screens);
    const QPoint origin = originOf(list);
    QList<DesktopMonitor> result;
    for (qsizetype i = 0; i < list.screens.size(); ++i) {
        DesktopMonitor monitor;
        if (i < names.size() && !names[i].name.isEmpty()) {
            monitor.connector = names[i].name;
            monitor.identifier = MonitorIdentity::identifier(KWinOutputNames::fingerprint(names[i]));
        }
        monitor.bounds = QRectF(list.screens[i].translated(-origin));
        monitor.primary = i == 0;
        result.append(monitor);
    }
    return result;
}

QList<DesktopMonitor> KWinDesktop::monitors() const
{
    const auto answer = runScript(KWinScripts::listBody());
    if (!answer)
        return {};
    QString error;
    const auto list = KWinWindowList::parse(*answer, &error);
    return list ? monitorsOf(*list) : QList<DesktopMonitor>();
}

quint64 KWinDesktop::dbusCalls() const
{
    return m_runner->dbusCalls();
}

quint64 KWinDesktop::dbusWaits() const
{
    return m_runner->dbusWaits();
}

bool KWinDesktop::canControlWindows() const
{
    return m_runner->kwinRunning();
}

std::optional<QString> KWinDesktop::ownAppId() const
{
    return QString(ownIdentifier);
}

PlatformProfile KWinDesktop::profile() const
{
    return m_documents->profile();
}

std::optional<QStringList> KWinDesktop::collectDocuments(DocumentRole role, const QString &appId)
{
    const Reading r = read(false);
    QList<qint64> pids;
    QStringList titles;
    for (qsizetype i = 0; i < r.list.windows.size(); ++i) {
        const KWinWindow &w = r.list.windows[i];
        if (r.appIds[i] != appId || ours(w))
            continue;
        if (w.pid && !pids.contains(*w.pid))
            pids.append(*w.pid);
        if (!w.caption.isEmpty())
            titles.append(w.caption);
    }
    return m_documents->collect(role, appId, pids, titles);
}

std::optional<QList<BrowserWindowTabs>> KWinDesktop::collectBrowserWindows(const QString &appId)
{
    const Reading r = read(false);
    QList<qint64> pids;
    for (qsizetype i = 0; i < r.list.windows.size(); ++i) {
        const KWinWindow &w = r.list.windows[i];
        if (r.appIds[i] == appId && !ours(w) && w.pid && !pids.contains(*w.pid))
            pids.append(*w.pid);
    }
    return m_documents->collectBrowserWindows(appId, pids);
}

FileStatus KWinDesktop::fileStatus(const QString &path) const
{
    const QFileInfo info(path);
    return { info.exists(), info.isDir() };
}

std::unique_ptr<DesktopPlatform> KWinDesktop::openReader() const
{
    QString ignored;
    return connect(&ignored);
}

// --- Acting -------------------------------------------------------------------------------------------

void KWinDesktop::place(WindowId window, const WindowPlacement &placement)
{
    const Reading r = read(false);
    const KWinWindow *now = r.find(window);
    if (!now)
        return;
    KWinPlacementGoal goal;
    goal.frame = now->frame;
    if (isUsableFrame(placement.frame))
        goal.frame
            = QRect(placement.frame.topLeft().toPoint(), placement.frame.size().toSize()).translated(originOf(r.list));
    goal.fullScreen = placement.state.fullScreen;
    goal.maximizeHorizontally = placement.state.maximizedHorizontally;
    goal.maximizeVertically = placement.state.maximizedVertically;
    goal.minimized = placement.state.minimized;
    if (placement.desktop)
        goal.desktop = *placement.desktop < 0 ? -1 : *placement.desktop + 1;
    const QString internalId = now->internalId;
    const quint64 generation = ++m_placementGeneration[internalId];
    if (runScript(KWinScripts::placeBody(internalId, goal)))
        correctLater(internalId, goal, generation);
}

void KWinDesktop::correctLater(const QString &internalId, const KWinPlacementGoal &goal, quint64 generation)
{
    // A Wayland client takes the new size only when it answers KWin's configure; one busy with its first frame
    // may answer an older size first. Look once, and ask once more: a window that keeps refusing has its
    // reasons (a minimum size, character cells).
    ++m_inFlight;
    QTimer::singleShot(correctionDelayMs, this, [this, internalId, goal, generation] {
        --m_inFlight;
        // A later placement of the same window has its own read-back; this one must not undo it.
        if (m_placementGeneration.value(internalId) != generation)
            return;
        if (goal.fullScreen || goal.maximizeHorizontally || goal.maximizeVertically || goal.minimized)
            return;
        const Reading r = read(false);
        for (const KWinWindow &w : r.list.windows) {
            if (w.internalId == internalId && (!fits(w.frame, goal.frame) || w.fullScreen)) {
                ++m_corrections;
                runScript(KWinScripts::placeBody(internalId, goal));
            }
        }
    });
}

void KWinDesktop::activate(WindowId window)
{
    const Reading r = read(false);
    if (const KWinWindow *w = r.find(window))
        runScript(KWinScripts::activateBody(w->internalId));
}

void KWinDesktop::closeApplication(const DesktopApplication &application)
{
    // The application as it runs now: its id, and a process or window it had then; never Corvalint itself.
    const Reading r = read(false);
    QStringList ids;
    for (qsizetype i = 0; i < r.list.windows.size(); ++i) {
        const KWinWindow &w = r.list.windows[i];
        if (r.appIds[i] != application.appId || !arranged(w))
            continue;
        bool same = w.pid && application.hasPid(*w.pid);
        for (const DesktopWindow &known : application.windows)
            same = same || known.id == kwinWindowNumber(w.internalId);
        if (same)
            ids.append(w.internalId);
    }
    if (!ids.isEmpty())
        runScript(KWinScripts::closeBody(ids));
}

// --- Launching ----------------------------------------------------------------------------------------

bool KWinDesktop::canLaunch(const QString &appId) const
{
    return m_launcher.canLaunch(appId);
}

void KWinDesktop::launch(const LaunchRequest &request, LaunchCompletion completion)
{
    const auto running = [this](const QString &appId) {
        const Reading r = read(false);
        LaunchOutcome outcome { false, appId, std::nullopt, {} };
        for (qsizetype i = 0; i < r.list.windows.size(); ++i) {
            const KWinWindow &w = r.list.windows[i];
            if (r.appIds[i] != appId || !arranged(w))
                continue;
            outcome.windows.append(kwinWindowNumber(w.internalId));
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
    watchForWindow(step.outcome.appId, step.outcome.pid.value_or(0), step.before, std::move(completion));
}

void KWinDesktop::watchForWindow(
    const QString &appId, qint64 pid, const QList<WindowId> &before, LaunchCompletion completion)
{
    auto launch = std::make_unique<PendingLaunch>();
    launch->appId = appId;
    launch->pid = pid;
    launch->before = before;
    launch->completion = std::move(completion);
    launch->started.start();
    m_launches.push_back(std::move(launch));
    if (!m_windowPoll) {
        m_windowPoll = new QTimer(this);
        QObject::connect(m_windowPoll, &QTimer::timeout, this, &KWinDesktop::checkWindows);
    }
    if (!m_windowPoll->isActive())
        m_windowPoll->start(windowPollMs);
}

void KWinDesktop::checkWindows()
{
    const Reading r = read(false);
    if (!r.ok && m_launches.empty())
        return;
    // KWin tells nobody outside of it about new windows: while launches wait, the poll tells the automation.
    QList<WindowId> now;
    for (const KWinWindow &w : r.list.windows)
        now.append(kwinWindowNumber(w.internalId));
    const bool changed = r.ok && now != m_knownWindows;
    if (r.ok)
        m_knownWindows = now;

    for (auto it = m_launches.begin(); it != m_launches.end();) {
        PendingLaunch &launch = **it;
        // The launch counts once the application shows a window: under its id, or from the process we
        // started (an application that resolves to another id than its entry's).
        LaunchWindowMatch match(launch.appId, launch.pid, launch.before);
        for (qsizetype i = 0; i < r.list.windows.size(); ++i) {
            const KWinWindow &w = r.list.windows[i];
            if (arranged(w))
                match.consider(kwinWindowNumber(w.internalId), r.appIds[i], w.pid);
        }
        const bool found = match.found();
        if (!found && launch.started.elapsed() < launchTimeoutMs) {
            ++it;
            continue;
        }
        EntryLauncher::completeLater(std::move(launch.completion), match.outcome());
        it = m_launches.erase(it);
    }
    if (m_launches.empty() && m_windowPoll)
        m_windowPoll->stop();
    if (changed)
        emit windowsChanged();
}

void KWinDesktop::openUrl(const QUrl &url)
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
