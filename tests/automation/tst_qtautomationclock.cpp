// The real clock: pauses suspend on the event loop, and values outside the pause range end at once.
#include "automation/qtautomationclock.h"

#include <QTest>
#include <limits>

class TestQtAutomationClock : public QObject
{
    Q_OBJECT

private slots:
    void pauseSuspendsUntilTimerFires()
    {
        QtAutomationClock clock;
        const double start = clock.now();
        auto pause = clock.sleep(0.03);
        QVERIFY(!pause.isReady());
        QVERIFY(QTest::qWaitFor([&] { return pause.isReady(); }, 5000));
        // The coarse timer may fire up to 5 % early.
        QVERIFY(clock.now() - start >= 0.03 * 0.95);
    }

    void valuesOutsideRangeEndAtOnce()
    {
        QtAutomationClock clock;
        for (double seconds :
            { 0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() }) {
            auto pause = clock.sleep(seconds);
            QVERIFY(pause.isReady());
        }
    }

    void nowMovesForward()
    {
        QtAutomationClock clock;
        const double first = clock.now();
        QVERIFY(first >= 0);
        QVERIFY(clock.now() >= first);
    }
};

QTEST_GUILESS_MAIN(TestQtAutomationClock)
#include "tst_qtautomationclock.moc"
