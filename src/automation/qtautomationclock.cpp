// The real clock of the launch's pauses: Qt timers on the main thread's event loop.
#include "qtautomationclock.h"

#include <QCoro/QCoroTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// QTimer keeps its interval in an int of milliseconds; a day is far inside that.
constexpr double longestStepSeconds = 24.0 * 3600.0;

} // namespace

QtAutomationClock::QtAutomationClock()
{
    m_elapsed.start();
}

QCoro::Task<> QtAutomationClock::sleep(double seconds)
{
    if (!(seconds > 0) || !std::isfinite(seconds))
        co_return;
    double remaining = seconds;
    while (remaining > 0) {
        const double step = std::min(remaining, longestStepSeconds);
        const auto milliseconds = std::chrono::milliseconds(static_cast<qint64>(std::ceil(step * 1000.0)));
        co_await QCoro::sleepFor(milliseconds);
        remaining -= step;
    }
}

double QtAutomationClock::now() const
{
    return double(m_elapsed.nsecsElapsed()) / 1e9;
}
