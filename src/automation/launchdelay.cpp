// How long the launch pauses after one entry, from the entry's delay in seconds.
#include "launchdelay.h"

#include <cmath>
#include <cstdint>

std::optional<double> launchPauseSeconds(double delayAfterLaunch)
{
    if (!(delayAfterLaunch > 0))
        return std::nullopt;
    const double nanoseconds = delayAfterLaunch * 1e9;
    // 2^64 is exactly representable; every finite double below it fits in a uint64.
    constexpr double uint64Limit = 18446744073709551616.0;
    if (!std::isfinite(nanoseconds) || nanoseconds >= uint64Limit)
        return std::nullopt;
    const auto whole = static_cast<std::uint64_t>(nanoseconds);
    if (whole == 0)
        return std::nullopt;
    return static_cast<double>(whole) / 1e9;
}
