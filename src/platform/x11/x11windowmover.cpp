// Moves and resizes one client window so that its outer frame lands exactly where asked.
#include "x11windowmover.h"

#include "framegeometry.h"
#include "x11connection.h"

#include <QDeadlineTimer>
#include <functional>

namespace {

// How long a window manager may take to carry out one request before we go on without it.
constexpr int answerTimeoutMs = 300;

std::optional<WindowFacts> readOne(X11Connection &connection, xcb_window_t window)
{
    auto facts = connection.readWindows({window});
    if (facts.empty() || !facts.front().exists)
        return std::nullopt;
    return facts.front();
}

QRect frameOf(const WindowFacts &facts)
{
    return FrameGeometry::outerFrame(facts.client, facts.wmExtents, facts.csdExtents);
}

// Size hints round sizes down to the resize increment: a size within one step below the target is right.
bool sizeFits(int actual, int target, int increment)
{
    return actual == target || (increment > 1 && actual < target && actual > target - increment);
}

} // namespace

X11WindowMover::X11WindowMover(X11Connection &connection) : m_connection(connection) {}

std::optional<WindowFacts> X11WindowMover::settle(xcb_window_t window,
                                                  const std::function<bool(const WindowFacts &)> &done)
{
    // Events may be stale (from an earlier request): each one only triggers a fresh read, and the read
    // decides whether the window manager has done what we asked.
    const QDeadlineTimer deadline(answerTimeoutMs);
    while (true) {
        auto facts = readOne(m_connection, window);
        if (!facts || done(*facts))
            return facts;
        if (!m_connection.waitForChange(window, int(deadline.remainingTime())))
            return readOne(m_connection, window);
    }
}

void X11WindowMover::place(xcb_window_t window, std::optional<QPoint> frameTopLeft, std::optional<QSize> frameSize)
{
    m_connection.watchWindow(window);
    auto facts = readOne(m_connection, window);
    if (!facts)
        return;
    const xcb_atom_t vert = m_connection.maximizedVertState();
    const xcb_atom_t horz = m_connection.maximizedHorzState();
    const xcb_atom_t full = m_connection.fullScreenState();
    const bool maximized = facts->hasState(vert) || facts->hasState(horz);
    const bool fullScreen = facts->hasState(full);
    if (maximized || fullScreen) {
        if (maximized)
            m_connection.requestState(window, false, vert, horz);
        if (fullScreen)
            m_connection.requestState(window, false, full);
        m_connection.flush();
        // The frame extents change with the state (openbox: none in full screen, no borders maximized), so
        // everything below works on what the window looks like afterwards.
        // Openbox rewrites _NET_WM_STATE before _NET_FRAME_EXTENTS: wait for both.
        const FrameExtents before = facts->wmExtents;
        facts = settle(window, [=](const WindowFacts &f) {
            return !f.hasState(vert) && !f.hasState(horz) && !f.hasState(full) && f.wmExtents != before;
        });
        if (!facts)
            return;
    }

    const QRect current = frameOf(*facts);
    const QPoint targetTopLeft = frameTopLeft.value_or(current.topLeft());
    const QSize targetSize = frameSize.value_or(current.size());
    if (current == QRect(targetTopLeft, targetSize))
        return;
    auto landed = [&](const WindowFacts &f) {
        const QRect frame = frameOf(f);
        return frame.topLeft() == targetTopLeft &&
               sizeFits(frame.width(), targetSize.width(), f.resizeIncrement.width()) &&
               sizeFits(frame.height(), targetSize.height(), f.resizeIncrement.height());
    };

    QSize clientSize = FrameGeometry::clientSize(targetSize, facts->wmExtents, facts->csdExtents);
    QPoint request = FrameGeometry::requestPosition(targetTopLeft, clientSize, facts->winGravity,
                                                    facts->borderWidth, facts->wmExtents, facts->csdExtents);
    m_connection.requestMoveResize(window, request, clientSize);
    m_connection.flush();
    facts = settle(window, landed);
    if (!facts || landed(*facts))
        return;

    // A window manager that reads the reference point differently: one correction by the measured offset.
    // Sizes that size hints rounded stay as they are.
    const QPoint offset = targetTopLeft - frameOf(*facts).topLeft();
    if (offset.isNull())
        return;
    m_connection.requestMoveResize(window, request + offset, facts->client.size());
    m_connection.flush();
    settle(window, landed);
}

void X11WindowMover::enterFullScreen(xcb_window_t window)
{
    m_connection.requestState(window, true, m_connection.fullScreenState());
    m_connection.flush();
}

void X11WindowMover::leaveFullScreen(xcb_window_t window)
{
    m_connection.requestState(window, false, m_connection.fullScreenState());
    m_connection.flush();
}
