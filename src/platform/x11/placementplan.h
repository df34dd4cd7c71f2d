// What one placement asks of the window manager, step by step: pure decisions about states and moves.
#pragma once

#include "automation/desktoptypes.h"

/// The steps of one placement, in the order the window manager gets them. Only the maximized and full-screen
/// states change (`minimized` is never set here).
struct PlacementPlan {
    enum class Move {
        /// The window stays where it is.
        none,
        /// Onto the target monitor only, before a state that fills it: sent at once, never corrected.
        roughly,
        /// To the exact outer frame, corrected once after the window manager answers.
        exactly,
    };

    /// States taken away first: window managers ignore or undo moves of maximized and full-screen windows.
    WindowState remove;
    /// The move waits until the window manager has taken those states away: the frame extents change with
    /// them, and the request is computed from the extents the window will have.
    bool settleBeforeMove = false;
    Move move = Move::none;
    /// States added last, once the window stands where it should.
    WindowState add;

    /// Whether the plan asks for nothing at all.
    bool isEmpty() const { return remove == WindowState {} && move == Move::none && add == WindowState {}; }

    /// The plan that takes a window in `current` state to `target`. `onTargetMonitor`: the window's frame
    /// lies mostly on the monitor that holds the target frame. `frameInPlace`: it already stands exactly there.
    static PlacementPlan make(
        const WindowState &current, const WindowState &target, bool onTargetMonitor, bool frameInPlace);
};
