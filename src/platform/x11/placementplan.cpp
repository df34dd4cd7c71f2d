// What one placement asks of the window manager, step by step: pure decisions about states and moves.
#include "placementplan.h"

namespace {

// The states a placement changes, without `minimized`.
WindowState placed(const WindowState &state)
{
    return { state.maximizedHorizontally, state.maximizedVertically, state.fullScreen, false };
}

// The states of `a` that `b` lacks.
WindowState without(const WindowState &a, const WindowState &b)
{
    return { a.maximizedHorizontally && !b.maximizedHorizontally, a.maximizedVertically && !b.maximizedVertically,
        a.fullScreen && !b.fullScreen, false };
}

bool any(const WindowState &state)
{
    return state.maximizedHorizontally || state.maximizedVertically || state.fullScreen;
}

} // namespace

PlacementPlan PlacementPlan::make(
    const WindowState &current, const WindowState &target, bool onTargetMonitor, bool frameInPlace)
{
    const WindowState from = placed(current);
    const WindowState to = placed(target);
    PlacementPlan plan;
    if (to.fullScreen || to.isMaximized()) {
        // The window manager sizes the window to the monitor it stands on: only that monitor matters.
        if (onTargetMonitor) {
            plan.remove = without(from, to);
            plan.add = without(to, from);
            return plan;
        }
        plan.remove = from;
        plan.move = Move::roughly;
        plan.add = to;
        return plan;
    }
    // A normal or half-maximized window: the frame counts, so states go, the move is exact, states come back.
    if (from == to && frameInPlace)
        return plan;
    plan.remove = from;
    plan.settleBeforeMove = any(from);
    plan.move = Move::exactly;
    plan.add = to;
    return plan;
}
