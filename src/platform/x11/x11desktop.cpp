// The desktop platform of an X11 session with an EWMH window manager: RandR monitors, client windows
// grouped into applications by their desktop entries, placement through the window manager, GIO launching.
#include "x11desktop.h"

#include "automation/finiterect.h"
#include "framegeometry.h"
#include "placementplan.h"
#include "platform/linux/documents/linuxdocuments.h"
#include "platform/linux/processexecutable.h"
#include "x11connection.h"
#include "x11screens.h"
#include "x11windowmover.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTimer>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

// A transient window names its parent; a chain longer than this is a loop.
constexpr int maxTransientDepth = 8;
// EWMH: the `_NET_WM_DESKTOP` of a window shown on every desktop.
constexpr quint32 everyDesktop = 0xFFFFFFFF;

QRect frameOf(const WindowFacts &facts)
{
    return FrameGeometry::outerFrame(facts.client, facts.wmExtents, facts.csdExtents);
}

/// EWMH: the first type the window manager knows wins; none means normal, or dialog for a transient window.
WindowKind kindOf(const WindowFacts &facts, const xcb_ewmh_connection_t &e)
{
    for (xcb_atom_t type : facts.types) {
        if (type == e._NET_WM_WINDOW_TYPE_NORMAL)
            return WindowKind::normal;
        if (type == e._NET_WM_WINDOW_TYPE_DIALOG)
            return WindowKind::dialog;
        if (type == e._NET_WM_WINDOW_TYPE_UTILITY || type == e._NET_WM_WINDOW_TYPE_TOOLBAR)
            return WindowKind::utility;
        if (type == e._NET_WM_WINDOW_TYPE_SPLASH || type == e._NET_WM_WINDOW_TYPE_MENU
            || type == e._NET_WM_WINDOW_TYPE_DROPDOWN_MENU || type == e._NET_WM_WINDOW_TYPE_POPUP_MENU
            || type == e._NET_WM_WINDOW_TYPE_DOCK || type == e._NET_WM_WINDOW_TYPE_DESKTOP
            || type == e._NET_WM_WINDOW_TYPE_NOTIFICATION || type == e._NET_WM_WINDOW_TYPE_TOOLTIP
            || type == e._NET_WM_WINDOW_TYPE_COMBO || type == e._NET_WM_WINDOW_TYPE_DND)
            return WindowKind::other;
    }
    return facts.transientFor != XCB_NONE ? WindowKind::dialog : WindowKind::normal;
}

WindowState stateOf(const WindowFacts &facts, const xcb_ewmh_connection_t &e)
{
    return { facts.hasState(e._NET_WM_STATE_MAXIMIZED_HORZ), facts.hasState(e._NET_WM_STATE_MAXIMIZED_VERT),
        facts.hasState(e._NET_WM_STATE_FULLSCREEN), facts.hasState(e._NET_WM_STATE_HIDDEN) };
}

std::optional<int> desktopOf(const WindowFacts &facts)
{
    if (!facts.desktop)
        return std::nullopt;
    if (*facts.desktop == everyDesktop)
        return allDesktops;
    return int(std::min<quint32>(*facts.desktop, quint32(std::numeric_limits<int>::max())));
}

QString titleOf(const WindowFacts &facts)
{
    // xterm and other plain X programs set only WM_NAME.
    return facts.netWmName.value_or(facts.wmName.value_or(QString()));
}

} // namespace

struct X11Desktop::Group {
    QString appId;
    QList<qint64> pids;
    /// One of its windows is a normal window or dialog shown in the taskbar.
    bool regular = false;
    /// Indexes into Reading::windows of every window it has, client-list order.
    std::vector<size_t> windows;
};

struct X11Desktop::Reading {
    RootState root;
    bool trusted = false;
    std::vector<WindowFacts> windows;
    /// Whether each window is framed by the window manager, so listed in snapshots.
    std::vector<bool> listed;
    QList<Group> groups;

    const Group *groupWithId(const QString &appId) const
    {
        for (const Group &group : groups) {
            if (group.appId == appId)
                return &group;
        }
        return nullptr;
    }
};

std::unique_ptr<X11Desktop> X11Desktop::connect(const QString &display, QString *error)
{
    auto connection = X11Connection::open(display, error);
    if (!connection)
        return nullptr;
    return std::unique_ptr<X11Desktop>(new X11Desktop(std::move(connection), display));
}

X11Desktop::X11Desktop(std::unique_ptr<X11Connection> connection, QString display)
    : m_connection(std::move(connection))
    , m_screens(std::make_unique<X11Screens>(*m_connection))
    , m_mover(std::make_unique<X11WindowMover>(*m_connection))
    , m_documents(std::make_unique<LinuxDocuments>())
    , m_launcher(display)
    , m_display(display)
{
    QObject::connect(m_connection.get(), &X11Connection::monitorsChanged, this, [this] {
        m_screens->invalidate();
        emit monitorsChanged();
    });
    QObject::connect(m_connection.get(), &X11Connection::disconnected, this, [this] { m_screens->invalidate(); });
    m_windowsSettle.setSingleShot(true);
    m_windowsSettle.setInterval(windowsSettleMs);
    QObject::connect(&m_windowsSettle, &QTimer::timeout, this, &DesktopPlatform::windowsChanged);
    QObject::connect(
        m_connection.get(), &X11Connection::windowPropertyChanged, this, [this](quint32 window, quint32 property) {
            if (window == m_connection->rootWindow() && property == m_connection->ewmh()._NET_CLIENT_LIST)
                clientListChanged();
        });
}

void X11Desktop::clientListChanged()
{
    emit windowsChanged();
    // A window joins the list when the window manager takes it on, a moment before its frame is shown:
    // one more word once it has had the time to appear.
    if (!m_windowsSettle.isActive())
        m_windowsSettle.start();
}

X11Desktop::~X11Desktop() = default;

// --- Reading ------------------------------------------------------------------------------------------

X11Desktop::Reading X11Desktop::read() const
{
    Reading r;
    r.root = m_connection->readRoot();
    r.trusted = r.root.wmRunning && r.root.supportsClientList && r.root.supportsMoveResize;
    m_desktopCount = r.root.desktopCount;
    m_currentDesktop = r.root.currentDesktop;
    r.windows = m_connection->readWindows(r.root.clients);
    const xcb_ewmh_connection_t &e = m_connection->ewmh();

    QHash<xcb_window_t, size_t> indexOf;
    for (size_t i = 0; i < r.windows.size(); ++i)
        indexOf.insert(r.windows[i].id, i);
    std::vector<std::optional<QString>> ids(r.windows.size());
    ProcessExecutables executables;
    // A transient window (a dialog) belongs to the application of the window it is transient for.
    std::function<QString(size_t, int)> idOf = [&](size_t i, int depth) -> QString {
        if (ids[i])
            return *ids[i];
        const WindowFacts &w = r.windows[i];
        const auto parent = indexOf.constFind(w.transientFor);
        QString id;
        if (w.transientFor != XCB_NONE && parent != indexOf.constEnd() && *parent != i && depth < maxTransientDepth
            && r.windows[*parent].exists) {
            id = idOf(*parent, depth + 1);
        } else {
            const DesktopEntryIndex::WindowClues clues { w.instance, w.className, w.gtkApplicationId, w.kdeDesktopFile,
                executables.of(w.pid) };
            id = m_launcher.entries().resolve(clues).value_or(QString());
        }
        ids[i] = id;
        return id;
    };

    r.listed.resize(r.windows.size());
    QHash<QString, qsizetype> byKey;
    for (size_t i = 0; i < r.windows.size(); ++i) {
        const WindowFacts &w = r.windows[i];
        if (!w.exists)
            continue;
        // Framed by the window manager; unmapped only while minimized or on another virtual desktop.
        const bool elsewhere
            = w.desktop && r.root.currentDesktop && *w.desktop != everyDesktop && *w.desktop != *r.root.currentDesktop;
        // Every window in the client list is managed. Window managers without frame extents (i3, some
        // tiling ones) draw no frame of their own or do not say: the client's rectangle is its frame then.
        r.listed[i] = w.viewable || w.hasState(e._NET_WM_STATE_HIDDEN) || elsewhere;

        // Applications in the order of their first window; a window without an id is one on its own.
        const QString id = idOf(i, 0);
        const QString key = id.isEmpty() ? QStringLiteral("\x01window:%1").arg(w.id) : id;
        auto found = byKey.constFind(key);
        if (found == byKey.constEnd()) {
            found = byKey.insert(key, r.groups.size());
            r.groups.append(Group { id, {}, false, {} });
        }
        Group &group = r.groups[*found];
        group.windows.push_back(i);
        if (w.pid && !group.pids.contains(qint64(*w.pid)))
            group.pids.append(qint64(*w.pid));
        const WindowKind kind = kindOf(w, e);
        if ((kind == WindowKind::normal || kind == WindowKind::dialog) && !w.hasState(e._NET_WM_STATE_SKIP_TASKBAR))
            group.regular = true;
    }
    return r;
}

DesktopWindow X11Desktop::windowOf(const Reading &reading, size_t index, const QString &appId) const
{
    const WindowFacts &w = reading.windows[index];
    const xcb_ewmh_connection_t &e = m_connection->ewmh();
    DesktopWindow window;
    window.id = w.id;
    window.appId = appId;
    if (w.pid)
        window.pid = qint64(*w.pid);
    window.title = titleOf(w);
    window.frame = QRectF(frameOf(w).translated(-m_screens->origin()));
    window.state = stateOf(w, e);
    window.desktop = desktopOf(w);
    window.kind = kindOf(w, e);
    // X11 windows name no document: their titles, processes and the recent-files lists tell it.
    window.document = m_documents->windowDocument(appId, window.pid, window.title);
    return window;
}

DesktopSnapshot X11Desktop::snapshot()
{
    const Reading r = read();
    DesktopSnapshot snapshot;
    for (const Group &group : r.groups) {
        DesktopApplication application;
        application.appId = group.appId;
        application.pids = group.pids;
        application.regular = group.regular;
        application.windowsKnown = r.trusted;
        if (r.trusted) {
            for (size_t i : group.windows) {
                if (r.listed[i])
                    application.windows.append(windowOf(r, i, group.appId));
            }
        }
        snapshot.applications.append(std::move(application));
    }
    snapshot.monitors = monitors();
    snapshot.focusedMonitor = focusedMonitor(r);
    return snapshot;
}

QList<DesktopMonitor> X11Desktop::monitors() const
{
    QList<DesktopMonitor> result;
    for (const X11Screens::Monitor &m : m_screens->monitors())
        result.append({ m.identifier, m.connector, QRectF(m.bounds), m.primary });
    return result;
}

std::optional<int> X11Desktop::focusedMonitor(const Reading &reading) const
{
    if (m_screens->monitors().isEmpty())
        return std::nullopt;
    const xcb_window_t active = reading.root.activeWindow;
    if (active == XCB_NONE)
        return 0;
    std::optional<WindowFacts> facts;
    for (const WindowFacts &w : reading.windows) {
        if (w.id == active)
            facts = w;
    }
    if (!facts) {
        auto read = m_connection->readWindows({ active });
        if (!read.empty())
            facts = read.front();
    }
    if (!facts || !facts->exists)
        return 0;
    return m_screens->indexFor(frameOf(*facts).translated(-m_screens->origin())).value_or(0);
}

bool X11Desktop::canControlWindows() const
{
    const RootState root = m_connection->readRoot();
    return root.wmRunning && root.supportsClientList && root.supportsMoveResize;
}

std::optional<QString> X11Desktop::ownAppId() const
{
    return QString(ownIdentifier);
}

PlatformProfile X11Desktop::profile() const
{
    return m_documents->profile();
}

std::optional<QStringList> X11Desktop::collectDocuments(DocumentRole role, const QString &appId)
{
    const Reading r = read();
    QList<qint64> pids;
    QStringList titles;
    if (const Group *group = r.groupWithId(appId)) {
        pids = group->pids;
        for (size_t i : group->windows) {
            if (const QString title = titleOf(r.windows[i]); !title.isEmpty())
                titles.append(title);
        }
    }
    return m_documents->collect(role, appId, pids, titles);
}

std::optional<QList<BrowserWindowTabs>> X11Desktop::collectBrowserWindows(const QString &appId)
{
    const Reading r = read();
    const Group *group = r.groupWithId(appId);
    return m_documents->collectBrowserWindows(appId, group ? group->pids : QList<qint64>());
}

std::unique_ptr<DesktopPlatform> X11Desktop::openReader() const
{
    QString ignored;
    return connect(m_display, &ignored);
}

FileStatus X11Desktop::fileStatus(const QString &path) const
{
    const QFileInfo info(path);
    return { info.exists(), info.isDir() };
}

// --- Acting -------------------------------------------------------------------------------------------

void X11Desktop::place(WindowId window, const WindowPlacement &placement)
{
    if (window == 0 || window > std::numeric_limits<xcb_window_t>::max() || m_connection->hasError())
        return;
    // The window as it is now: its states and frame extents decide the request.
    const auto read = m_connection->readWindows({ xcb_window_t(window) });
    // A window manager that publishes no frame extents (bspwm, dwm) is asked for the client's rectangle,
    // which the capture saved as the frame too: the round trip stays exact.
    if (read.empty() || !read.front().exists)
        return;
    const WindowFacts &facts = read.front();
    const QPoint origin = m_screens->origin();
    const QRect now = frameOf(facts);

    QRect target = now;
    const bool frameGiven = isUsableFrame(placement.frame);
    if (frameGiven)
        target = QRect(placement.frame.topLeft().toPoint(), placement.frame.size().toSize()).translated(origin);

    if (placement.desktop) {
        // A desktop the window manager did not have at the last read is never asked for (that would make
        // some window managers add desktops): the window comes to the current one instead.
        const int wanted = *placement.desktop;
        const bool exists
            = wanted == allDesktops || (wanted >= 0 && (!m_desktopCount || quint32(wanted) < *m_desktopCount));
        std::optional<quint32> desktop;
        if (exists)
            desktop = wanted == allDesktops ? everyDesktop : quint32(wanted);
        else
            desktop = m_currentDesktop;
        if (desktop && facts.desktop != desktop)
            m_connection->requestDesktop(facts.id, *desktop);
    }

    const auto monitorNow = m_screens->indexFor(now.translated(-origin));
    const auto monitorWanted = m_screens->indexFor(target.translated(-origin));
    // A target frame off every monitor leaves a maximized or full-screen window where it is.
    const bool onTargetMonitor = !monitorWanted || monitorNow == monitorWanted;
    const bool frameInPlace = FrameGeometry::fits(now, target, facts.resizeIncrement);
    const PlacementPlan plan
        = PlacementPlan::make(stateOf(facts, m_connection->ewmh()), placement.state, onTargetMonitor, frameInPlace);
    m_mover->place(facts, target, plan);
    m_connection->flush();
}

void X11Desktop::activate(WindowId window)
{
    if (window == 0 || window > std::numeric_limits<xcb_window_t>::max())
        return;
    m_connection->requestActivate(xcb_window_t(window));
}

void X11Desktop::closeApplication(const DesktopApplication &application)
{
    // The application as it runs now, found by its id and a process or window it had then.
    const Reading r = read();
    for (const Group &group : r.groups) {
        if (group.appId != application.appId)
            continue;
        bool same = false;
        for (qint64 pid : group.pids)
            same = same || application.hasPid(pid);
        for (size_t i : group.windows) {
            for (const DesktopWindow &known : application.windows)
                same = same || known.id == r.windows[i].id;
        }
        if (!same)
            continue;
        // Each window is asked, so that the application can ask to save; never a signal.
        for (size_t i : group.windows)
            m_connection->requestClose(r.windows[i].id, r.windows[i].supportsDelete);
    }
}

// --- Launching ----------------------------------------------------------------------------------------

bool X11Desktop::canLaunch(const QString &appId) const
{
    return m_launcher.canLaunch(appId);
}

void X11Desktop::launch(const LaunchRequest &request, LaunchCompletion completion)
{
    const auto running = [this](const QString &appId) {
        const Reading r = read();
        LaunchOutcome outcome { false, appId, std::nullopt, {} };
        if (const Group *group = r.groupWithId(appId)) {
            outcome.started = true;
            if (!group->pids.isEmpty())
                outcome.pid = group->pids.front();
            for (size_t i : group->windows) {
                if (r.listed[i])
                    outcome.windows.append(r.windows[i].id);
            }
        }
        return outcome;
    };
    const auto bringForward = [this](WindowId window) { m_connection->requestActivate(xcb_window_t(window)); };
    // The report comes at once: whoever places the windows waits for them, as long as the user allows.
    EntryLauncher::completeLater(std::move(completion), m_launcher.launch(request, running, bringForward).outcome);
}

void X11Desktop::openUrl(const QUrl &url)
{
    // One argument, no shell: whatever the address contains reaches xdg-open unchanged. xdg-open reads an
    // argument starting with '-' as an option ("--version" answers even after an address) and refuses "--"
    // too, so no end-of-options mark can help: such text is no address and is never handed over.
    const QString address = QString::fromUtf8(url.toEncoded());
    if (address.isEmpty() || address.startsWith(QLatin1Char('-')))
        return;
    QProcess process;
    process.setProgram(QStringLiteral("xdg-open"));
    process.setArguments({ address });
    // startDetached honours these files: xdg-open and what it starts never hold our standard streams, or
    // whoever reads our output through a pipe would wait until the browser quits.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

// --- Our own windows ----------------------------------------------------------------------------------

bool X11Desktop::compositesWindows() const
{
    return m_connection->compositorRunning();
}

std::optional<quint32> X11Desktop::trayForegroundRgb() const
{
    return m_connection->trayForegroundRgb();
}

void X11Desktop::setOwnWindowHints(quintptr nativeWindow, bool skipTaskbar, bool onAllDesktops)
{
    if (nativeWindow == 0 || nativeWindow > std::numeric_limits<xcb_window_t>::max())
        return;
    m_connection->setOwnWindowHints(xcb_window_t(nativeWindow), skipTaskbar, onAllDesktops);
}

// --- Diagnostics --------------------------------------------------------------------------------------

quint64 X11Desktop::strayErrorCount()
{
    m_connection->sync();
    return m_connection->strayErrors();
}

quint64 X11Desktop::roundTripCount() const
{
    return m_connection->roundTrips();
}

int X11Desktop::placementsInFlight() const
{
    return m_mover->inFlight();
}
