// How long the launch pauses after one entry, from the entry's delay in seconds.
#pragma once

#include <optional>

/// The pause after an entry, in seconds, or nothing for no pause.
///
/// A delay greater than 0 pauses that long, truncated to whole nanoseconds.
/// 0, negative values, NaN and delays shorter than one nanosecond give no pause.
/// A delay that is infinite or too long for an unsigned 64-bit count of
/// nanoseconds (about 584 years) cannot come from a real workspace; it is taken
/// as no pause rather than as a launch that never finishes.
std::optional<double> launchPauseSeconds(double delayAfterLaunch);
