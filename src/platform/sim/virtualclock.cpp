// Virtual time for the simulated desktop: pauses and scheduled events run in time order when a test advances the clock.
#include "virtualclock.h"

#include <algorithm>
#include <cmath>

struct VirtualClock::SleepAwaiter {
    VirtualClock *clock;
    qint64 when;

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle)
    {
        clock->scheduleAt(when, [handle] { handle.resume(); });
    }
    void await_resume() const noexcept { }
};

VirtualClock::VirtualClock(QObject *parent)
    : QObject(parent)
{
}

VirtualClock::~VirtualClock() = default;

qint64 VirtualClock::toNanoseconds(double seconds)
{
    if (!(seconds > 0))
        return 0;
    const double nanoseconds = std::round(seconds * 1e9);
    // 2^63 is exact as a double; anything at or beyond it does not fit.
    if (!(nanoseconds < 9223372036854775808.0))
        return endOfTime;
    return static_cast<qint64>(nanoseconds);
}

qint64 VirtualClock::later(qint64 delay) const
{
    return delay > endOfTime - m_now ? endOfTime : m_now + delay;
}

QCoro::Task<> VirtualClock::sleep(double seconds)
{
    // A pause beyond the clock's range (about 292 years) could only wait for
    // ever, holding its coroutine past the clock's life: it ends at once instead.
    const qint64 duration = toNanoseconds(seconds);
    if (duration == 0 || duration == endOfTime)
        co_return;
    co_await SleepAwaiter { this, later(duration) };
}

double VirtualClock::now() const
{
    return double(m_now) / 1e9;
}

void VirtualClock::schedule(double delaySeconds, std::function<void()> action)
{
    scheduleAt(later(toNanoseconds(delaySeconds)), std::move(action));
}

void VirtualClock::scheduleAt(qint64 when, std::function<void()> action)
{
    m_events.emplace(std::make_pair(when, m_sequence++), std::move(action));
    emit pendingEventsChanged();
}

void VirtualClock::runUntil(qint64 until)
{
    // An event may schedule further events or wake sleepers: take one at a
    // time and look again, so that each runs with the clock at its own moment.
    // Events at the end of time stand for pauses that never end: they never run.
    const qint64 last = std::min(until, endOfTime - 1);
    while (!m_events.empty() && m_events.begin()->first.first <= last) {
        auto node = m_events.extract(m_events.begin());
        emit pendingEventsChanged();
        if (node.key().first != m_now) {
            m_now = node.key().first;
            emit nowChanged();
        }
        node.mapped()();
    }
}

void VirtualClock::advance(double seconds)
{
    // Nested calls from inside an event would run later events before the
    // current one finishes; they are ignored instead.
    if (m_running)
        return;
    m_running = true;
    const qint64 until = later(toNanoseconds(seconds));
    runUntil(until);
    if (until != m_now) {
        m_now = until;
        emit nowChanged();
    }
    m_running = false;
}

bool VirtualClock::runUntilIdle(double limitSeconds)
{
    if (m_running)
        return m_events.empty();
    m_running = true;
    const qint64 until = later(toNanoseconds(limitSeconds));
    runUntil(until);
    const bool idle = m_events.empty();
    if (!idle && until != m_now) {
        m_now = until;
        emit nowChanged();
    }
    m_running = false;
    return idle;
}
