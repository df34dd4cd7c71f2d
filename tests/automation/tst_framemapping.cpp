// Where a saved frame lands on its target screen: kept, scaled to a smaller monitor, or pulled in by the inset.
#include "automation/framemapping.h"

#include <QTest>
#include <limits>

namespace {

EntryData entryAt(const QRectF &frame)
{
    EntryData entry;
    entry.frameX = frame.x();
    entry.frameY = frame.y();
    entry.width = frame.width();
    entry.height = frame.height();
    return entry;
}

EntryData entryOnScreen(const QRectF &frame, const QRectF &screen)
{
    EntryData entry = entryAt(frame);
    entry.originalScreenX = screen.x();
    entry.originalScreenY = screen.y();
    entry.originalScreenWidth = screen.width();
    entry.originalScreenHeight = screen.height();
    return entry;
}

} // namespace

class TestFrameMapping : public QObject
{
    Q_OBJECT

private slots:
    void smallerMonitorScalesBothAxes()
    {
        const EntryData entry = entryOnScreen(QRectF(2660, 50, 1280, 720), QRectF(2560, 0, 2560, 1440));
        QCOMPARE(targetFrame(entry, QRectF(1920, 0, 1920, 1080)), QRectF(1995, 37.5, 960, 540));
    }

    void largerMonitorKeepsOffsetAndSize()
    {
        const EntryData entry = entryOnScreen(QRectF(100, 100, 800, 600), QRectF(0, 0, 2560, 1440));
        QCOMPARE(targetFrame(entry, QRectF(0, 0, 3840, 2160)), QRectF(100, 100, 800, 600));
    }

    void movedMonitorKeepsOffset()
    {
        const EntryData entry = entryOnScreen(QRectF(2000, 60, 800, 600), QRectF(1920, 0, 1920, 1080));
        QCOMPARE(targetFrame(entry, QRectF(-1920, 0, 1920, 1080)), QRectF(-1840, 60, 800, 600));
    }

    void oneSmallerAxisScalesBoth()
    {
        // Only the height shrinks, yet the width's ratio (above 1) applies as well.
        const EntryData entry = entryOnScreen(QRectF(256, 144, 1280, 720), QRectF(0, 0, 2560, 1440));
        const QRectF frame = targetFrame(entry, QRectF(0, 0, 3000, 1000));
        QCOMPARE(frame.x(), 256.0 * 3000.0 / 2560.0);
        QCOMPARE(frame.y(), 144.0 * 1000.0 / 1440.0);
        QCOMPARE(frame.width(), 1280.0 * 3000.0 / 2560.0);
        QCOMPARE(frame.height(), 720.0 * 1000.0 / 1440.0);
    }

    void lostCornerGetsInsetOnItsAxis()
    {
        const EntryData entry = entryAt(QRectF(5000, 300, 800, 600));
        QCOMPARE(targetFrame(entry, QRectF(0, 0, 1440, 900)), QRectF(50, 300, 800, 600));
        QCOMPARE(targetFrame(entryAt(QRectF(100, -20, 800, 600)), QRectF(0, 0, 1440, 900)), QRectF(100, 50, 800, 600));
        QCOMPARE(targetFrame(entryAt(QRectF(-1, 901, 10, 10)), QRectF(0, 0, 1440, 900)), QRectF(50, 50, 10, 10));
        QCOMPARE(
            targetFrame(entryAt(QRectF(100, 100, 10, 10)), QRectF(1920, 0, 1920, 1080)), QRectF(1970, 100, 10, 10));
    }

    void cornerOnRightOrBottomEdgeStays()
    {
        QCOMPARE(targetFrame(entryAt(QRectF(1440, 900, 10, 10)), QRectF(0, 0, 1440, 900)), QRectF(1440, 900, 10, 10));
    }

    void incompleteOrEmptySavedScreenUsesInset()
    {
        EntryData partial = entryOnScreen(QRectF(5000, 300, 800, 600), QRectF(0, 0, 2560, 1440));
        partial.originalScreenHeight.reset();
        QCOMPARE(targetFrame(partial, QRectF(0, 0, 1440, 900)), QRectF(50, 300, 800, 600));

        const EntryData zero = entryOnScreen(QRectF(5000, 300, 800, 600), QRectF(0, 0, 0, 1440));
        QCOMPARE(targetFrame(zero, QRectF(0, 0, 1440, 900)), QRectF(50, 300, 800, 600));

        const double nan = std::numeric_limits<double>::quiet_NaN();
        const EntryData notANumber = entryOnScreen(QRectF(5000, 300, 800, 600), QRectF(0, 0, nan, 1440));
        QCOMPARE(targetFrame(notANumber, QRectF(0, 0, 1440, 900)), QRectF(50, 300, 800, 600));
    }

    void savedFrameIsTheEntrysFrame() { QCOMPARE(savedFrame(entryAt(QRectF(-3, 4, 5, 6))), QRectF(-3, 4, 5, 6)); }
};

QTEST_GUILESS_MAIN(TestFrameMapping)
#include "tst_framemapping.moc"
