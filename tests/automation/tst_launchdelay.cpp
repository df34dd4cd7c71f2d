// The pause after each launched entry: whole nanoseconds, and no pause for values outside the data model.
#include "automation/launchdelay.h"

#include <QTest>
#include <limits>

class TestLaunchDelay : public QObject
{
    Q_OBJECT

private slots:
    void positiveDelayPausesThatLong()
    {
        QCOMPARE(launchPauseSeconds(0.5), 0.5);
        QCOMPARE(launchPauseSeconds(3.0), 3.0);
    }

    void delayIsTruncatedToNanoseconds()
    {
        QCOMPARE(launchPauseSeconds(1.0000000019), 1.000000001);
        QCOMPARE(launchPauseSeconds(4e-10), std::nullopt);
    }

    void zeroNegativeAndNaNGiveNoPause()
    {
        QCOMPARE(launchPauseSeconds(0.0), std::nullopt);
        QCOMPARE(launchPauseSeconds(-0.0), std::nullopt);
        QCOMPARE(launchPauseSeconds(-2.0), std::nullopt);
        QCOMPARE(launchPauseSeconds(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
        QCOMPARE(launchPauseSeconds(-std::numeric_limits<double>::infinity()), std::nullopt);
    }

    void infiniteOrUnrepresentableGivesNoPause()
    {
        QCOMPARE(launchPauseSeconds(std::numeric_limits<double>::infinity()), std::nullopt);
        QCOMPARE(launchPauseSeconds(std::numeric_limits<double>::max()), std::nullopt);
        // 2^64 ns is about 1.8447e10 s: the first is still a pause, the second not.
        QCOMPARE(launchPauseSeconds(1.8e10), 1.8e10);
        QCOMPARE(launchPauseSeconds(1.85e10), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestLaunchDelay)
#include "tst_launchdelay.moc"
