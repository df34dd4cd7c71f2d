// Carries out placements of client windows without waiting: requests go out at once, the window manager's
// answers arrive as events, and each placement is corrected once and then let go.
#pragma once

#include "frameextents.h"
#include "placementplan.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <memory>
#include <unordered_map>
#include <xcb/xcb.h>

class X11Connection;
struct WindowFacts;

class X11WindowMover : public QObject
{
    Q_OBJECT

public:
    /// How long one step may wait for the window manager's answer before the placement goes on without it.
    static constexpr int answerTimeoutMs = 500;

    explicit X11WindowMover(X11Connection &connection, QObject *parent = nullptr);
    ~X11WindowMover() override;

    /// Starts placing the window described by `facts` (read just now) along `plan`, with `frame` the outer
    /// frame in root coordinates, and returns at once. Removals, a rough move and additions go out together;
    /// an exact move goes out once the removed states have settled, with the frame extents the window has
    /// then, and is corrected once after the window manager's answer (ConfigureNotify, or a change of
    /// `_NET_FRAME_EXTENTS` or `_NET_WM_STATE`). A new placement of the same window replaces this one.
    void place(const WindowFacts &facts, const QRect &frame, const PlacementPlan &plan);

    /// Placements still waiting for the window manager.
    int inFlight() const { return int(m_jobs.size()); }

signals:
    /// A placement is over: the window stands where asked, or the window manager answered the correction,
    /// or it did not answer in time, or the window is gone.
    void settled(quint32 window);

private:
    struct Job;

    void sendStates(xcb_window_t window, const WindowState &states, bool add);
    void sendMove(Job &job, const WindowFacts &facts, QPoint offset, bool keepClientSize);
    void startMove(Job &job, const WindowFacts &facts);
    void check(xcb_window_t window, bool timedOut);
    void correct(Job &job, const WindowFacts &facts);
    void finish(xcb_window_t window, bool exists);
    void queueCheck(xcb_window_t window);
    void armTimeout(Job &job);

    X11Connection &m_connection;
    std::unordered_map<xcb_window_t, std::unique_ptr<Job>> m_jobs;
    quint64 m_generation = 0;
};
