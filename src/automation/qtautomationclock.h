// The real clock of the launch's pauses: Qt timers on the main thread's event loop.
#pragma once

#include "automationclock.h"

#include <QElapsedTimer>

class QtAutomationClock : public AutomationClock
{
public:
    QtAutomationClock();

    /// Suspends for `seconds` on a coarse timer (it may end up to 5 % early).
    /// Values that are not finite and greater than 0 end at once; very long
    /// pauses are taken in steps a timer can express.
    QCoro::Task<> sleep(double seconds) override;
    double now() const override;

private:
    QElapsedTimer m_elapsed;
};
