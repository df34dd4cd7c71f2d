// Virtual time: sleepers and scheduled events run in time order, exactly, and only when the clock is moved.
#include "platform/sim/virtualclock.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

namespace {

QCoro::Task<> sleeper(VirtualClock &clock, double seconds, QStringList &log, QString name)
{
    co_await clock.sleep(seconds);
    log.append(QStringLiteral("%1@%2").arg(name).arg(clock.now()));
}

QCoro::Task<> repeatedSleeper(VirtualClock &clock, int times, double seconds, QList<double> &wakeTimes)
{
    for (int i = 0; i < times; ++i) {
        co_await clock.sleep(seconds);
        wakeTimes.append(clock.now());
    }
}

} // namespace

class TestVirtualClock : public QObject
{
    Q_OBJECT

private slots:
    void nothingRunsUntilClockMoves()
    {
        VirtualClock clock;
        QStringList log;
        auto task = sleeper(clock, 1.0, log, QStringLiteral("a"));
        QVERIFY(!task.isReady());
        QCOMPARE(clock.pendingEvents(), 1);
        clock.advance(0.999);
        QVERIFY(log.isEmpty());
        clock.advance(0.001);
        QCOMPARE(log, QStringList { QStringLiteral("a@1") });
        QVERIFY(task.isReady());
    }

    void sleepersWakeInTimeOrderThenSchedulingOrder()
    {
        VirtualClock clock;
        QStringList log;
        auto late = sleeper(clock, 2.0, log, QStringLiteral("late"));
        auto early = sleeper(clock, 0.5, log, QStringLiteral("early"));
        auto tieFirst = sleeper(clock, 1.0, log, QStringLiteral("tie1"));
        clock.schedule(1.0, [&] { log.append(QStringLiteral("event@%1").arg(clock.now())); });
        auto tieSecond = sleeper(clock, 1.0, log, QStringLiteral("tie2"));
        QVERIFY(clock.runUntilIdle(10));
        QCOMPARE(log, (QStringList { "early@0.5", "tie1@1", "event@1", "tie2@1", "late@2" }));
        QCOMPARE(clock.now(), 2.0);
    }

    void advanceEndsAtTheRequestedTime()
    {
        VirtualClock clock;
        QSignalSpy moved(&clock, &VirtualClock::nowChanged);
        clock.advance(1.25);
        QCOMPARE(clock.now(), 1.25);
        QCOMPARE(moved.count(), 1);
    }

    void repeatedPausesAddUpExactly()
    {
        VirtualClock clock;
        QList<double> wakes;
        auto task = repeatedSleeper(clock, 15, 0.2, wakes);
        QVERIFY(clock.runUntilIdle(60));
        QCOMPARE(wakes.size(), 15);
        QCOMPARE(wakes[9], 2.0);
        QCOMPARE(wakes.last(), 3.0);
        QCOMPARE(clock.nowNanoseconds(), 3'000'000'000LL);
    }

    void eventsScheduledWhileRunningRunInTheSamePass()
    {
        VirtualClock clock;
        QStringList log;
        clock.schedule(1.0, [&] {
            log.append(QStringLiteral("outer"));
            clock.schedule(0, [&] { log.append(QStringLiteral("same moment@%1").arg(clock.now())); });
            clock.schedule(0.5, [&] { log.append(QStringLiteral("later@%1").arg(clock.now())); });
        });
        clock.advance(1.2);
        QCOMPARE(log, (QStringList { "outer", "same moment@1" }));
        clock.advance(0.3);
        QCOMPARE(log.last(), QStringLiteral("later@1.5"));
    }

    void nestedAdvanceIsIgnored()
    {
        VirtualClock clock;
        QStringList log;
        clock.schedule(1.0, [&] {
            clock.advance(10);
            log.append(QStringLiteral("first@%1").arg(clock.now()));
        });
        clock.schedule(2.0, [&] { log.append(QStringLiteral("second@%1").arg(clock.now())); });
        clock.advance(1.0);
        QCOMPARE(log, QStringList { QStringLiteral("first@1") });
        clock.advance(1.0);
        QCOMPARE(log.last(), QStringLiteral("second@2"));
    }

    void runUntilIdleStopsAtItsLimit()
    {
        VirtualClock clock;
        QStringList log;
        auto task = sleeper(clock, 100, log, QStringLiteral("far"));
        QVERIFY(!clock.runUntilIdle(5));
        QCOMPARE(clock.now(), 5.0);
        QVERIFY(log.isEmpty());
        QVERIFY(clock.runUntilIdle(200));
        QCOMPARE(log, QStringList { QStringLiteral("far@100") });
    }

    void nonPositivePausesEndAtOnce()
    {
        VirtualClock clock;
        QStringList log;
        auto zero = sleeper(clock, 0, log, QStringLiteral("zero"));
        auto negative = sleeper(clock, -1, log, QStringLiteral("negative"));
        auto nan = sleeper(clock, std::numeric_limits<double>::quiet_NaN(), log, QStringLiteral("nan"));
        QCOMPARE(log, (QStringList { "zero@0", "negative@0", "nan@0" }));
        QCOMPARE(clock.pendingEvents(), 0);
    }

    void pauseBeyondClockRangeEndsAtOnce()
    {
        VirtualClock clock;
        QStringList log;
        clock.advance(1);
        auto endless = sleeper(clock, std::numeric_limits<double>::infinity(), log, QStringLiteral("inf"));
        auto huge = sleeper(clock, 1e300, log, QStringLiteral("huge"));
        QCOMPARE(log, (QStringList { "inf@1", "huge@1" }));
        QCOMPARE(clock.pendingEvents(), 0);
    }

    void eventBeyondClockRangeNeverRunsAndNeverOverflows()
    {
        VirtualClock clock;
        bool ran = false;
        clock.advance(1);
        clock.schedule(std::numeric_limits<double>::infinity(), [&] { ran = true; });
        clock.schedule(1e300, [&] { ran = true; });
        QVERIFY(!clock.runUntilIdle(1e6));
        QCOMPARE(clock.now(), 1e6 + 1);
        // A limit past the end of time stops there without wrapping around.
        QVERIFY(!clock.runUntilIdle(1e12));
        QCOMPARE(clock.nowNanoseconds(), VirtualClock::endOfTime);
        QVERIFY(!ran);
        QCOMPARE(VirtualClock::toNanoseconds(std::numeric_limits<double>::infinity()), VirtualClock::endOfTime);
    }
};

QTEST_GUILESS_MAIN(TestVirtualClock)
#include "tst_virtualclock.moc"
