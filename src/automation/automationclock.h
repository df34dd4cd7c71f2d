// The time source of the launch's pauses: Qt timers on a real desktop, virtual
// time on the simulated one, so that a long launch runs in milliseconds in tests.
#pragma once

#include <QCoro/QCoroTask>

class AutomationClock
{
public:
    virtual ~AutomationClock() = default;

    /// Suspends the calling coroutine for `seconds` (never blocks the thread).
    /// Callers pass only finite values greater than 0.
    virtual QCoro::Task<> sleep(double seconds) = 0;

    /// Seconds since an arbitrary, fixed origin (for logs and tests).
    virtual double now() const = 0;
};
