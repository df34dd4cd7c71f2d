// The desktop platform of an X11 session with an EWMH window manager: RandR monitors, client windows
// grouped into applications by their desktop entries, placement through the window manager, GIO launching.
#include "x11desktop.h"

#include "automation/axattributes.h"
#include "documents/linuxdocuments.h"
#include "framegeometry.h"
#include "x11connection.h"
#include "x11screens.h"
#include "x11windowmover.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QTimer>

namespace {

// How often a launch looks for its first window.
constexpr int launchPollMs = 50;
// How long the index of desktop entries is trusted before it is read again.
constexpr int entriesMaxAgeMs = 2000;
// A transient window names its parent; a chain longer than this is a loop.
constexpr int maxTransientDepth = 8;

QString executableOf(quint32 pid)
{
    QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    if (target.endsWith(QLatin1String(" (deleted)")))
        target.chop(10);
    return target;
}

} // namespace

struct X11Desktop::Snapshot {
    RootState root;
    std::vector<WindowFacts> windows;
    /// The identifier of each window, filled on first use.
    std::vector<std::optional<QString>> identifiers;
    QHash<quint64, size_t> indexOf;
    QList<Application> applications;
    /// Windows read one by one because they were not in the client list.
    QHash<quint64, WindowFacts> others;
};

std::unique_ptr<X11Desktop> X11Desktop::connect(const QString &display, QString *error)
{
    auto connection = X11Connection::open(display, error);
    if (!connection)
        return nullptr;
    return std::unique_ptr<X11Desktop>(new X11Desktop(std::move(connection), display));
}

X11Desktop::X11Desktop(std::unique_ptr<X11Connection> connection, QString display)
    : m_connection(std::move(connection)),
      m_screens(std::make_unique<X11Screens>(*m_connection)),
      m_mover(std::make_unique<X11WindowMover>(*m_connection)),
      m_documents(std::make_unique<LinuxDocuments>()),
      m_launcher(std::move(display))
{
    QObject::connect(m_connection.get(), &X11Connection::screensChanged, this, [this] {
        m_screens->invalidate();
        emit screensChanged();
    });
    QObject::connect(m_connection.get(), &X11Connection::disconnected, this, [this] { invalidate(); });
}

X11Desktop::~X11Desktop() = default;

// --- Snapshot -----------------------------------------------------------------------------------------

X11Desktop::Snapshot &X11Desktop::snapshot() const
{
    if (m_snapshot)
        return *m_snapshot;
    auto s = std::make_unique<Snapshot>();
    s->root = m_connection->readRoot();
    s->windows = m_connection->readWindows(s->root.clients);
    s->identifiers.resize(s->windows.size());
    for (size_t i = 0; i < s->windows.size(); ++i)
        s->indexOf.insert(s->windows[i].id, i);
    m_snapshot = std::move(s);

    // Group the client windows into applications, in the order of their first window.
    QHash<QString, qsizetype> byKey;
    for (size_t i = 0; i < m_snapshot->windows.size(); ++i) {
        const WindowFacts &w = m_snapshot->windows[i];
        if (!w.exists)
            continue;
        const QString id = identifierOf(i);
        const QString key = id.isEmpty() ? QStringLiteral("\x01window:%1").arg(w.id) : id;
        auto found = byKey.constFind(key);
        if (found == byKey.constEnd()) {
            Application app;
            if (!id.isEmpty())
                app.info.bundleIdentifier = id;
            // Windows without _NET_WM_PID still need a handle: the negated id of the first window.
            app.info.processIdentifier = w.pid ? qint64(*w.pid) : -qint64(w.id);
            app.info.activationPolicy = accessoryPolicy;
            found = byKey.insert(key, m_snapshot->applications.size());
            m_snapshot->applications.append(app);
        }
        Application &app = m_snapshot->applications[*found];
        app.windows.push_back(i);
        const QString role = roleOf(w);
        if (role == Ax::windowRole && !w.hasState(m_connection->ewmh()._NET_WM_STATE_SKIP_TASKBAR))
            app.info.activationPolicy = regularPolicy;
    }

    // Valid until control goes back to the event loop: one capture reads the desktop once.
    if (!m_dropScheduled) {
        m_dropScheduled = true;
        QTimer::singleShot(0, this, [this] {
            m_dropScheduled = false;
            invalidate();
        });
    }
    return *m_snapshot;
}

void X11Desktop::invalidate() const
{
    m_snapshot.reset();
    m_screens->invalidate();
}

const WindowFacts *X11Desktop::facts(WindowRef window) const
{
    Snapshot &s = snapshot();
    const auto found = s.indexOf.constFind(window);
    if (found != s.indexOf.constEnd())
        return &s.windows[*found];
    auto other = s.others.find(window);
    if (other == s.others.end()) {
        auto read = m_connection->readWindows({xcb_window_t(window)});
        if (read.empty())
            return nullptr;
        other = s.others.insert(window, read.front());
    }
    return other->exists ? &*other : nullptr;
}

const X11Desktop::Application *X11Desktop::applicationWithPid(qint64 processIdentifier) const
{
    for (const Application &app : snapshot().applications) {
        if (app.info.processIdentifier == processIdentifier)
            return &app;
    }
    return nullptr;
}

const X11Desktop::Application *X11Desktop::applicationWithId(const QString &identifier) const
{
    for (const Application &app : snapshot().applications) {
        if (app.info.bundleIdentifier == identifier)
            return &app;
    }
    return nullptr;
}

QString X11Desktop::identifierOf(size_t windowIndex, int depth) const
{
    Snapshot &s = *m_snapshot;
    if (s.identifiers[windowIndex])
        return *s.identifiers[windowIndex];
    const WindowFacts &w = s.windows[windowIndex];
    QString id;
    // A transient window (a dialog) belongs to the application of the window it is transient for.
    const auto parent = s.indexOf.constFind(w.transientFor);
    if (w.transientFor != XCB_NONE && parent != s.indexOf.constEnd() && *parent != windowIndex &&
        depth < maxTransientDepth && s.windows[*parent].exists) {
        id = identifierOf(*parent, depth + 1);
    } else {
        DesktopEntryIndex::WindowClues clues{w.instance, w.className, w.gtkApplicationId, w.kdeDesktopFile,
                                             w.pid ? executableOf(*w.pid) : QString()};
        id = entries().resolve(clues).value_or(QString());
    }
    s.identifiers[windowIndex] = id;
    return id;
}

const DesktopEntryIndex &X11Desktop::entries() const
{
    if (!m_entriesAge.isValid() || m_entriesAge.elapsed() > entriesMaxAgeMs) {
        m_entries = DesktopEntryIndex::loadInstalled();
        m_entriesAge.start();
    }
    return m_entries;
}

bool X11Desktop::isReady(const WindowFacts &facts) const
{
    // The window manager manages the window: mapped, and framed.
    return facts.exists && facts.viewable && facts.hasFrameExtents;
}

QString X11Desktop::roleOf(const WindowFacts &facts) const
{
    const xcb_ewmh_connection_t &e = m_connection->ewmh();
    // EWMH: the first type the window manager knows wins; none means normal (dialog when transient).
    for (xcb_atom_t type : facts.types) {
        if (type == e._NET_WM_WINDOW_TYPE_NORMAL || type == e._NET_WM_WINDOW_TYPE_DIALOG)
            return Ax::windowRole;
        if (type == e._NET_WM_WINDOW_TYPE_UTILITY)
            return QStringLiteral("AXUtilityWindow");
        if (type == e._NET_WM_WINDOW_TYPE_TOOLBAR)
            return QStringLiteral("AXToolbar");
        if (type == e._NET_WM_WINDOW_TYPE_SPLASH)
            return QStringLiteral("AXSplash");
        if (type == e._NET_WM_WINDOW_TYPE_MENU || type == e._NET_WM_WINDOW_TYPE_DROPDOWN_MENU ||
            type == e._NET_WM_WINDOW_TYPE_POPUP_MENU)
            return QStringLiteral("AXMenu");
        if (type == e._NET_WM_WINDOW_TYPE_DOCK)
            return QStringLiteral("AXDock");
        if (type == e._NET_WM_WINDOW_TYPE_DESKTOP)
            return QStringLiteral("AXDesktop");
        if (type == e._NET_WM_WINDOW_TYPE_NOTIFICATION || type == e._NET_WM_WINDOW_TYPE_TOOLTIP ||
            type == e._NET_WM_WINDOW_TYPE_COMBO || type == e._NET_WM_WINDOW_TYPE_DND)
            return QStringLiteral("AXUnknown");
    }
    return Ax::windowRole;
}

// --- Screens ------------------------------------------------------------------------------------------

QList<PlatformScreen> X11Desktop::screens() const
{
    QList<PlatformScreen> result;
    for (const X11Screens::Monitor &m : m_screens->monitors())
        result.append({m.number, QRectF(m.bounds)});
    return result;
}

std::optional<int> X11Desktop::mainScreenIndex() const
{
    if (m_screens->monitors().isEmpty())
        return std::nullopt;
    const xcb_window_t active = snapshot().root.activeWindow;
    if (active != XCB_NONE) {
        if (const WindowFacts *w = facts(active)) {
            const QRect frame = FrameGeometry::outerFrame(w->client, w->wmExtents, w->csdExtents);
            if (auto index = m_screens->indexFor(frame.translated(-m_screens->origin())))
                return index;
        }
    }
    return 0;
}

QRectF X11Desktop::displayBounds(quint32 displayNumber) const
{
    const auto monitor = m_screens->monitor(displayNumber);
    return monitor ? QRectF(monitor->bounds) : QRectF();
}

std::optional<QString> X11Desktop::displayUUID(quint32 displayNumber) const
{
    const auto monitor = m_screens->monitor(displayNumber);
    if (!monitor)
        return std::nullopt;
    return monitor->identifier;
}

// --- Running applications and launching ---------------------------------------------------------------

QList<RunningApplication> X11Desktop::runningApplications() const
{
    QList<RunningApplication> result;
    for (const Application &app : snapshot().applications)
        result.append(app.info);
    return result;
}

std::optional<QString> X11Desktop::ownBundleIdentifier() const
{
    return QString(ownIdentifier);
}

void X11Desktop::terminate(const RunningApplication &application)
{
    flushPendingMove();
    const Application *app = applicationWithPid(application.processIdentifier);
    if (!app || app->info.bundleIdentifier != application.bundleIdentifier)
        return;
    // Each window is asked, so that the application can ask to save; never a signal.
    std::vector<std::pair<xcb_window_t, bool>> windows;
    for (size_t i : app->windows)
        windows.emplace_back(m_snapshot->windows[i].id, m_snapshot->windows[i].supportsDelete);
    for (const auto &[window, supportsDelete] : windows)
        m_connection->requestClose(window, supportsDelete);
    invalidate();
}

std::optional<QString> X11Desktop::applicationLocation(const QString &bundleIdentifier) const
{
    if (auto path = entries().path(bundleIdentifier))
        return path;
    // Installed since the index was read?
    m_entriesAge.invalidate();
    return entries().path(bundleIdentifier);
}

void X11Desktop::complete(LaunchCompletion completion, std::optional<RunningApplication> application)
{
    if (!completion)
        return;
    // Always later, never inside the call that started the launch.
    QTimer::singleShot(0, [completion = std::move(completion), application] { completion(application); });
}

void X11Desktop::openApplication(const QString &location, LaunchCompletion completion)
{
    flushPendingMove();
    invalidate();
    const QString id = entries().idForPath(location).value_or(QFileInfo(location).completeBaseName());
    if (const Application *running = applicationWithId(id)) {
        // Already running: bring it forward instead of starting a second copy.
        for (size_t i : running->windows) {
            if (isReady(m_snapshot->windows[i])) {
                m_connection->requestActivate(m_snapshot->windows[i].id);
                break;
            }
        }
        const RunningApplication info = running->info;
        invalidate();
        complete(std::move(completion), info);
        return;
    }
    launchAndWatch(location, {}, std::move(completion));
}

void X11Desktop::openDocuments(const QList<QUrl> &urls, const QString &location, LaunchCompletion completion)
{
    flushPendingMove();
    invalidate();
    QStringList uris;
    for (const QUrl &url : urls)
        uris.append(QString::fromUtf8(url.toEncoded()));
    const QString id = entries().idForPath(location).value_or(QFileInfo(location).completeBaseName());
    if (const Application *running = applicationWithId(id)) {
        // A document always goes to the entry's command line; a single-instance application hands it on to
        // its running copy, which is what we report.
        const RunningApplication info = running->info;
        if (!m_launcher.launch(location, uris)) {
            complete(std::move(completion), std::nullopt);
            return;
        }
        complete(std::move(completion), info);
        return;
    }
    launchAndWatch(location, uris, std::move(completion));
}

void X11Desktop::launchAndWatch(const QString &location, const QStringList &uris, LaunchCompletion completion)
{
    const QString id = entries().idForPath(location).value_or(QFileInfo(location).completeBaseName());
    const auto pid = m_launcher.launch(location, uris);
    if (!pid) {
        complete(std::move(completion), std::nullopt);
        return;
    }
    watchForWindow(id, *pid, std::move(completion));
}

void X11Desktop::watchForWindow(const QString &identifier, qint64 pid, LaunchCompletion completion)
{
    // The launch counts once the application shows a client window: under its identifier, or from the
    // process we started (an application that resolves to another identifier than its entry's).
    auto *timer = new QTimer(this);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, this, [this, timer, started, identifier, pid, completion] {
        invalidate();
        std::optional<RunningApplication> found;
        for (const Application &app : snapshot().applications) {
            bool ours = app.info.bundleIdentifier == identifier;
            for (size_t i : app.windows)
                ours = ours || m_snapshot->windows[i].pid == std::optional<quint32>(quint32(pid));
            if (ours) {
                found = app.info;
                break;
            }
        }
        if (found || started->elapsed() >= launchTimeoutMs || m_connection->hasError()) {
            timer->stop();
            timer->deleteLater();
            complete(completion, found);
        }
    });
    timer->start(launchPollMs);
}

void X11Desktop::openURL(const QUrl &url)
{
    // One argument, no shell: whatever the address contains reaches xdg-open unchanged. xdg-open reads an
    // argument starting with '-' as an option ("--version" answers even after an address) and refuses "--"
    // too, so no end-of-options mark can help: such text is no address and is never handed over.
    const QString address = QString::fromUtf8(url.toEncoded());
    if (address.isEmpty() || address.startsWith(QLatin1Char('-')))
        return;
    QProcess process;
    process.setProgram(QStringLiteral("xdg-open"));
    process.setArguments({address});
    // startDetached honours these files: xdg-open and what it starts never hold our standard streams, or
    // whoever reads our output through a pipe would wait until the browser quits.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

FileStatus X11Desktop::fileStatus(const QString &path) const
{
    const QFileInfo info(path);
    return {info.exists(), info.isDir()};
}

// --- Windows ------------------------------------------------------------------------------------------

bool X11Desktop::isTrusted() const
{
    const RootState &root = snapshot().root;
    return root.wmRunning && root.supportsClientList && root.supportsMoveResize;
}

std::optional<QList<WindowRef>> X11Desktop::copyWindowList(qint64 processIdentifier)
{
    flushPendingMove();
    if (!isTrusted())
        return std::nullopt;
    const Application *app = applicationWithPid(processIdentifier);
    if (!app)
        return std::nullopt;
    QList<WindowRef> windows;
    for (size_t i : app->windows) {
        if (isReady(m_snapshot->windows[i]))
            windows.append(m_snapshot->windows[i].id);
    }
    return windows;
}

QVariant X11Desktop::copyAttribute(WindowRef window, QLatin1StringView attribute)
{
    flushPendingMove();
    const WindowFacts *w = facts(window);
    if (!w)
        return {};
    if (attribute == Ax::title) {
        if (w->netWmName)
            return *w->netWmName;
        return w->wmName ? QVariant(*w->wmName) : QVariant();
    }
    if (attribute == Ax::position || attribute == Ax::size) {
        if (!w->hasFrameExtents)
            return {};
        const QRect frame = FrameGeometry::outerFrame(w->client, w->wmExtents, w->csdExtents)
                                .translated(-m_screens->origin());
        return attribute == Ax::position ? QVariant(QPointF(frame.topLeft())) : QVariant(QSizeF(frame.size()));
    }
    if (attribute == Ax::subrole) {
        if (w->hasState(m_connection->fullScreenState()))
            return QString(Ax::fullScreenSubrole);
        const bool dialog = std::find(w->types.begin(), w->types.end(),
                                      m_connection->ewmh()._NET_WM_WINDOW_TYPE_DIALOG) != w->types.end();
        return dialog ? QStringLiteral("AXDialog") : QStringLiteral("AXStandardWindow");
    }
    if (attribute == Ax::role)
        return roleOf(*w);
    if (attribute == Ax::main)
        return snapshot().root.activeWindow == window;
    // Ax::document: X11 windows name no document; the collectors supply them.
    return {};
}

void X11Desktop::setAttribute(WindowRef window, QLatin1StringView attribute, const QVariant &value)
{
    const auto typeId = value.typeId();
    if (attribute == Ax::position) {
        if (typeId != QMetaType::QPointF && typeId != QMetaType::QPoint)
            return;
        flushPendingMove();
        // Held back for a moment: when the size follows, both go out as one request.
        m_pendingMove = PendingMove{window, value.toPointF().toPoint() + m_screens->origin()};
        QTimer::singleShot(0, this, &X11Desktop::flushPendingMove);
        return;
    }
    if (attribute == Ax::size) {
        if (typeId != QMetaType::QSizeF && typeId != QMetaType::QSize)
            return;
        const QSize size = value.toSizeF().toSize();
        if (m_pendingMove && m_pendingMove->window == window) {
            const QPoint topLeft = m_pendingMove->frameTopLeft;
            m_pendingMove.reset();
            m_mover->place(xcb_window_t(window), topLeft, size);
        } else {
            flushPendingMove();
            m_mover->place(xcb_window_t(window), std::nullopt, size);
        }
        invalidate();
        return;
    }
    flushPendingMove();
    if (attribute == Ax::subrole) {
        if (value.toString() == Ax::fullScreenSubrole)
            m_mover->enterFullScreen(xcb_window_t(window));
        invalidate();
    } else if (attribute == Ax::main) {
        if (value.toBool())
            m_connection->requestActivate(xcb_window_t(window));
        invalidate();
    }
}

void X11Desktop::flushPendingMove()
{
    if (!m_pendingMove)
        return;
    const PendingMove move = *m_pendingMove;
    m_pendingMove.reset();
    m_mover->place(xcb_window_t(move.window), move.frameTopLeft, std::nullopt);
    invalidate();
}

// --- Documents ----------------------------------------------------------------------------------------

ScriptResult X11Desktop::runScript(DocumentRole role, const QString &applicationIdentifier)
{
    flushPendingMove();
    QList<qint64> pids;
    QStringList titles;
    if (const Application *app = applicationWithId(applicationIdentifier)) {
        for (size_t i : app->windows) {
            const WindowFacts &w = m_snapshot->windows[i];
            if (w.pid && !pids.contains(qint64(*w.pid)))
                pids.append(qint64(*w.pid));
            const auto title = w.netWmName ? w.netWmName : w.wmName;
            if (title)
                titles.append(*title);
        }
    }
    QVariantList items;
    for (const QString &item : m_documents->collect(role, applicationIdentifier, pids, titles))
        items.append(item);
    return {false, items};
}

PlatformProfile X11Desktop::profile() const
{
    return m_documents->profile();
}

quint64 X11Desktop::strayErrorCount()
{
    m_connection->sync();
    return m_connection->strayErrors();
}

quint64 X11Desktop::roundTripCount() const
{
    return m_connection->roundTrips();
}
