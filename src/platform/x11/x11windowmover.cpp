// Carries out placements of client windows without waiting: requests go out at once, the window manager's
// answers arrive as events, and each placement is corrected once and then let go.
#include "x11windowmover.h"

#include "framegeometry.h"
#include "x11connection.h"

#include <QTimer>
#include <algorithm>

namespace {

// How many replaced placements' answers a placement recognises as not its own.
constexpr size_t maxEarlierTargets = 4;

QRect frameOf(const WindowFacts &facts)
{
    return FrameGeometry::outerFrame(facts.client, facts.wmExtents, facts.csdExtents);
}

} // namespace

struct X11WindowMover::Job {
    enum class Phase {
        /// The removed states are on their way out.
        clearing,
        /// The move request is out; waiting for the answer.
        moving,
    };

    xcb_window_t window = XCB_NONE;
    QRect target;
    PlacementPlan plan;
    Phase phase = Phase::clearing;
    /// Clearing: the extents and the client rectangle while the states were still on.
    FrameExtents extentsBefore;
    QRect clientBefore;
    /// Moving: what the last request was computed from, the frame it started from, and what it asked for.
    FrameExtents usedWm;
    FrameExtents usedCsd;
    QRect frameBefore;
    QPoint request;
    QSize requestedClient;
    /// Frames that placements this one replaced asked for: their answers may still come, and are not ours.
    std::vector<QRect> earlierTargets;
    int attempts = 0;
    bool checkQueued = false;
    /// Tells this step's time-out from the time-outs of earlier steps.
    quint64 generation = 0;
};

X11WindowMover::X11WindowMover(X11Connection &connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
{
    connect(&m_connection, &X11Connection::windowConfigured, this, [this](quint32 window) { queueCheck(window); });
    connect(&m_connection, &X11Connection::windowPropertyChanged, this, [this](quint32 window, quint32 property) {
        const xcb_ewmh_connection_t &e = m_connection.ewmh();
        if (property == e._NET_FRAME_EXTENTS || property == e._NET_WM_STATE
            || property == m_connection.gtkFrameExtentsAtom())
            queueCheck(window);
    });
    connect(&m_connection, &X11Connection::windowDestroyed, this, [this](quint32 window) {
        if (m_jobs.contains(window))
            finish(window, false);
    });
}

X11WindowMover::~X11WindowMover()
{
    for (const auto &[window, job] : m_jobs)
        m_connection.unwatchWindow(window);
    m_connection.flush();
}

void X11WindowMover::place(const WindowFacts &facts, const QRect &frame, const PlacementPlan &plan)
{
    const xcb_window_t window = facts.id;
    const bool exact = plan.move == PlacementPlan::Move::exactly;
    // The latest placement is the one that counts; what the one it replaces asked for may still be answered.
    std::vector<QRect> earlierTargets;
    const auto previous = m_jobs.find(window);
    const bool replaced = previous != m_jobs.end();
    if (replaced) {
        earlierTargets = std::move(previous->second->earlierTargets);
        if (previous->second->attempts > 0)
            earlierTargets.push_back(previous->second->target);
        if (earlierTargets.size() > maxEarlierTargets)
            earlierTargets.erase(earlierTargets.begin());
        m_jobs.erase(previous);
    }
    if (replaced && !exact)
        m_connection.unwatchWindow(window);
    if (plan.isEmpty() || m_connection.hasError()) {
        m_connection.flush();
        return;
    }
    // Watched before anything is asked, so that no answer comes before we listen.
    if (exact)
        m_connection.watchWindow(window);
    sendStates(window, plan.remove, false);

    if (!exact) {
        // The state added last makes the window manager size the window to its monitor: a move there
        // needs no precision and no answer.
        if (plan.move == PlacementPlan::Move::roughly) {
            const QSize clientSize = FrameGeometry::clientSize(frame.size(), facts.wmExtents, facts.csdExtents);
            m_connection.requestMoveResize(window,
                FrameGeometry::requestPosition(frame.topLeft(), clientSize, facts.winGravity, facts.borderWidth,
                    facts.wmExtents, facts.csdExtents),
                clientSize);
        }
        sendStates(window, plan.add, true);
        m_connection.flush();
        emit settled(window);
        return;
    }

    auto job = std::make_unique<Job>();
    job->window = window;
    job->target = frame;
    job->plan = plan;
    job->earlierTargets = std::move(earlierTargets);
    Job &placed = *job;
    m_jobs[window] = std::move(job);
    if (plan.settleBeforeMove) {
        placed.phase = Job::Phase::clearing;
        placed.extentsBefore = facts.wmExtents;
        placed.clientBefore = facts.client;
        armTimeout(placed);
        m_connection.flush();
        return;
    }
    startMove(placed, facts);
}

void X11WindowMover::sendStates(xcb_window_t window, const WindowState &states, bool add)
{
    // EWMH: two properties in one message, so that a window maximized both ways changes in one step.
    if (states.maximizedHorizontally || states.maximizedVertically) {
        const xcb_atom_t horz = m_connection.maximizedHorzState();
        const xcb_atom_t vert = m_connection.maximizedVertState();
        m_connection.requestState(window, add, states.maximizedHorizontally ? horz : vert,
            states.maximizedHorizontally && states.maximizedVertically ? vert : XCB_NONE);
    }
    if (states.fullScreen)
        m_connection.requestState(window, add, m_connection.fullScreenState());
}

void X11WindowMover::startMove(Job &job, const WindowFacts &facts)
{
    job.phase = Job::Phase::moving;
    if (FrameGeometry::fits(frameOf(facts), job.target, facts.resizeIncrement)) {
        finish(job.window, true);
        return;
    }
    job.attempts = 1;
    sendMove(job, facts, {}, false);
}

void X11WindowMover::sendMove(Job &job, const WindowFacts &facts, QPoint offset, bool keepClientSize)
{
    const QSize clientSize = keepClientSize
        ? facts.client.size()
        : FrameGeometry::clientSize(job.target.size(), facts.wmExtents, facts.csdExtents);
    if (offset.isNull()) {
        job.request = FrameGeometry::requestPosition(
            job.target.topLeft(), clientSize, facts.winGravity, facts.borderWidth, facts.wmExtents, facts.csdExtents);
    } else {
        job.request += offset;
    }
    job.usedWm = facts.wmExtents;
    job.usedCsd = facts.csdExtents;
    job.frameBefore = frameOf(facts);
    job.requestedClient = clientSize;
    m_connection.requestMoveResize(job.window, job.request, clientSize);
    m_connection.flush();
    armTimeout(job);
}

void X11WindowMover::correct(Job &job, const WindowFacts &facts)
{
    job.attempts = 2;
    if (facts.wmExtents != job.usedWm || facts.csdExtents != job.usedCsd) {
        // The extents changed under the request (a state the window manager finished late): compute afresh.
        sendMove(job, facts, {}, false);
        return;
    }
    // A window manager that reads the reference point differently: one correction by the measured offset.
    // Sizes that size hints rounded stay as they are.
    const QPoint offset = job.target.topLeft() - frameOf(facts).topLeft();
    if (offset.isNull()) {
        finish(job.window, true);
        return;
    }
    sendMove(job, facts, offset, true);
}

void X11WindowMover::queueCheck(xcb_window_t window)
{
    auto found = m_jobs.find(window);
    if (found == m_jobs.end() || found->second->checkQueued)
        return;
    // Events come in bursts (state, extents, configure): one read after the burst.
    found->second->checkQueued = true;
    QMetaObject::invokeMethod(
        this, [this, window] { check(window, false); }, Qt::QueuedConnection);
}

void X11WindowMover::armTimeout(Job &job)
{
    job.generation = ++m_generation;
    QTimer::singleShot(answerTimeoutMs, this, [this, window = job.window, generation = job.generation] {
        auto found = m_jobs.find(window);
        if (found != m_jobs.end() && found->second->generation == generation)
            check(window, true);
    });
}

void X11WindowMover::check(xcb_window_t window, bool timedOut)
{
    auto found = m_jobs.find(window);
    if (found == m_jobs.end())
        return;
    Job &job = *found->second;
    job.checkQueued = false;
    const auto read = m_connection.readWindows({ window });
    if (read.empty() || !read.front().exists) {
        finish(window, false);
        return;
    }
    const WindowFacts &facts = read.front();

    if (job.phase == Job::Phase::clearing) {
        // Openbox rewrites _NET_WM_STATE, _NET_FRAME_EXTENTS and the client's geometry one after the other:
        // the move is computed once all three have changed.
        const WindowState &removed = job.plan.remove;
        const bool statesGone = !(removed.maximizedHorizontally && facts.hasState(m_connection.maximizedHorzState()))
            && !(removed.maximizedVertically && facts.hasState(m_connection.maximizedVertState()))
            && !(removed.fullScreen && facts.hasState(m_connection.fullScreenState()));
        if (timedOut || (statesGone && facts.wmExtents != job.extentsBefore && facts.client != job.clientBefore))
            startMove(job, facts);
        return;
    }

    const QRect frame = frameOf(facts);
    if (FrameGeometry::fits(frame, job.target, facts.resizeIncrement)) {
        finish(window, true);
        return;
    }
    // Only our request's answer may lead to a correction. Not yet answered: the frame and its extents are as
    // they were when the request went out. Another answer: a placement this one replaced, or a state change
    // the window manager finished late, gives the window another client size than the one we asked for.
    const bool unchanged = frame == job.frameBefore && facts.wmExtents == job.usedWm && facts.csdExtents == job.usedCsd;
    const bool earlier = std::any_of(job.earlierTargets.begin(), job.earlierTargets.end(),
        [&](const QRect &target) { return FrameGeometry::fits(frame, target, facts.resizeIncrement); });
    const bool ourSize = FrameGeometry::fits(
        QRect(QPoint(), facts.client.size()), QRect(QPoint(), job.requestedClient), facts.resizeIncrement);
    if (unchanged || earlier || !ourSize) {
        // A window manager that does not answer in time is busy or refuses: a correction computed now, from
        // where the window still stands, would undo the request once it is carried out.
        if (timedOut)
            finish(window, true);
        return;
    }
    if (job.attempts < 2)
        correct(job, facts);
    else
        finish(window, true);
}

void X11WindowMover::finish(xcb_window_t window, bool exists)
{
    auto found = m_jobs.find(window);
    if (found == m_jobs.end())
        return;
    const std::unique_ptr<Job> job = std::move(found->second);
    m_jobs.erase(found);
    if (exists) {
        // Half-maximized windows get their state once the frame stands.
        sendStates(window, job->plan.add, true);
        m_connection.unwatchWindow(window);
        m_connection.flush();
    }
    emit settled(window);
}
