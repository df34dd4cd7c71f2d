// Virtual time for the simulated desktop: pauses and scheduled events run in time order when a test advances the clock.
#pragma once

#include "automation/automationclock.h"

#include <QObject>
#include <coroutine>
#include <functional>
#include <limits>
#include <map>
#include <utility>

/// Time moves only when `advance` or `runUntilIdle` is called; everything due
/// then runs in time order, events due at the same moment in the order they
/// were scheduled. Time is kept in whole nanoseconds so that sums of pauses
/// are exact. Sleepers still waiting when the clock is destroyed are never
/// resumed and their coroutines are not freed: drain the clock first.
class VirtualClock : public QObject, public AutomationClock
{
    Q_OBJECT
    Q_PROPERTY(double now READ now NOTIFY nowChanged)
    Q_PROPERTY(int pendingEvents READ pendingEvents NOTIFY pendingEventsChanged)

public:
    /// The latest moment the clock can express; events beyond it never run.
    static constexpr qint64 endOfTime = std::numeric_limits<qint64>::max();

    explicit VirtualClock(QObject *parent = nullptr);
    ~VirtualClock() override;

    /// Suspends until the clock has moved `seconds` further. 0, negative, NaN,
    /// infinite and unrepresentably long pauses end at once.
    QCoro::Task<> sleep(double seconds) override;
    double now() const override;
    qint64 nowNanoseconds() const { return m_now; }

    /// Runs `action` once the clock has moved `delaySeconds` further (0 or less:
    /// at the next advance, even by 0; beyond the clock's range: never).
    void schedule(double delaySeconds, std::function<void()> action);

    /// Runs everything due within `seconds`, then leaves the clock at now + seconds.
    void advance(double seconds);
    /// Runs events in time order until none is left, or the next one lies more
    /// than `limitSeconds` ahead (then the clock stops at the limit). True when
    /// nothing is left to run.
    bool runUntilIdle(double limitSeconds);

    int pendingEvents() const { return int(m_events.size()); }

    /// A duration in whole nanoseconds (rounded), clamped to [0, endOfTime].
    static qint64 toNanoseconds(double seconds);

signals:
    void nowChanged();
    void pendingEventsChanged();

private:
    struct SleepAwaiter;

    void scheduleAt(qint64 when, std::function<void()> action);
    void runUntil(qint64 until);
    qint64 later(qint64 delay) const;

    qint64 m_now = 0;
    quint64 m_sequence = 0;
    bool m_running = false;
    std::map<std::pair<qint64, quint64>, std::function<void()>> m_events;
};
