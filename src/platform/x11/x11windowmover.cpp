// Moves and resizes one client window so that its outer frame lands exactly where asked.
#include "x11windowmover.h"

#include "framegeometry.h"
#include "x11connection.h"

namespace {

// How long a window manager may take to answer a configure request before we go on without it.
constexpr int answerTimeoutMs = 500;

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

} // namespace

X11WindowMover::X11WindowMover(X11Connection &connection) : m_connection(connection) {}

void X11WindowMover::place(xcb_window_t window, std::optional<QPoint> frameTopLeft, std::optional<QSize> frameSize)
{
    m_connection.watchConfigure(window);
    auto facts = readOne(m_connection, window);
    if (!facts)
        return;
    const bool maximized =
        facts->hasState(m_connection.maximizedVertState()) || facts->hasState(m_connection.maximizedHorzState());
    const bool fullScreen = facts->hasState(m_connection.fullScreenState());
    if (maximized || fullScreen) {
        if (maximized)
            m_connection.requestState(window, false, m_connection.maximizedVertState(),
                                      m_connection.maximizedHorzState());
        if (fullScreen)
            m_connection.requestState(window, false, m_connection.fullScreenState());
        m_connection.waitForConfigure(window, answerTimeoutMs);
        // The frame extents change with the state (openbox: none in full screen, no borders maximized).
        facts = readOne(m_connection, window);
        if (!facts)
            return;
    }

    const QRect current = frameOf(*facts);
    const QPoint targetTopLeft = frameTopLeft.value_or(current.topLeft());
    const QSize targetSize = frameSize.value_or(current.size());
    if (current == QRect(targetTopLeft, targetSize))
        return;

    QSize clientSize = FrameGeometry::clientSize(targetSize, facts->wmExtents, facts->csdExtents);
    QPoint request = FrameGeometry::requestPosition(targetTopLeft, clientSize, facts->winGravity,
                                                    facts->borderWidth, facts->wmExtents, facts->csdExtents);
    m_connection.requestMoveResize(window, request, clientSize);
    m_connection.waitForConfigure(window, answerTimeoutMs);

    // Read back: a window manager may interpret the reference point differently; one correction by the
    // measured offset lands it. Sizes that size hints rounded stay as they are.
    facts = readOne(m_connection, window);
    if (!facts)
        return;
    const QRect landed = frameOf(*facts);
    const QPoint offset = targetTopLeft - landed.topLeft();
    if (offset.isNull())
        return;
    clientSize = facts->client.size();
    request += offset;
    m_connection.requestMoveResize(window, request, clientSize);
    m_connection.waitForConfigure(window, answerTimeoutMs);
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
