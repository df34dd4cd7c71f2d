// Which monitor a window frame is filed under: largest overlap, ties to the earlier screen, the first screen as
// fallback.
#include "automation/monitorchoice.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {

const QString left = QStringLiteral("LEFT");
const QString right = QStringLiteral("RIGHT");

QList<MonitorCandidate> sideBySide()
{
    return { MonitorCandidate { QRectF(0, 0, 1920, 1080), left },
        MonitorCandidate { QRectF(1920, 0, 1920, 1080), right } };
}

} // namespace

class TestMonitorChoice : public QObject
{
    Q_OBJECT

private slots:
    void straddlingWindowGoesToLargerShare()
    {
        QCOMPARE(monitorIDForFrame(QRectF(1800, 100, 400, 300), sideBySide()), right);
        QCOMPARE(monitorIDForFrame(QRectF(1600, 100, 400, 300), sideBySide()), left);
    }

    void exactTieGoesToEarlierScreen()
    {
        QCOMPARE(monitorIDForFrame(QRectF(1720, 100, 400, 300), sideBySide()), left);
        QList<MonitorCandidate> reversed = sideBySide();
        std::swap(reversed[0], reversed[1]);
        QCOMPARE(monitorIDForFrame(QRectF(1720, 100, 400, 300), reversed), right);
    }

    void frameOnNoScreenFallsBackToFirst()
    {
        QList<MonitorCandidate> reversed = sideBySide();
        std::swap(reversed[0], reversed[1]);
        // Nearer to the left monitor, but the first of the list wins all the same.
        QCOMPARE(monitorIDForFrame(QRectF(-5000, 100, 400, 300), reversed), right);
        QCOMPARE(screenIndexForFrame(QRectF(-5000, 100, 400, 300), reversed), 0);
    }

    void zeroSizedFrameFallsBackToFirst()
    {
        QCOMPARE(screenIndexForFrame(QRectF(2500, 100, 0, 300), sideBySide()), 0);
        QCOMPARE(screenIndexForFrame(QRectF(2500, 100, 300, 0), sideBySide()), 0);
    }

    void emptyScreenListGivesNothing()
    {
        QCOMPARE(screenIndexForFrame(QRectF(0, 0, 100, 100), {}), -1);
        QCOMPARE(monitorIDForFrame(QRectF(0, 0, 100, 100), {}), std::nullopt);
    }

    void screenWithoutBoundsIsPassedOver()
    {
        QList<MonitorCandidate> screens = sideBySide();
        screens.prepend(MonitorCandidate { std::nullopt, QStringLiteral("NO-NUMBER") });
        QCOMPARE(monitorIDForFrame(QRectF(0, 0, 100, 100), screens), left);
        // Yet as the first of the list it is still the fallback.
        QCOMPARE(monitorIDForFrame(QRectF(-900, 0, 100, 100), screens), QStringLiteral("NO-NUMBER"));
    }

    void chosenScreenWithoutIdentifierGivesNothing()
    {
        QList<MonitorCandidate> screens = sideBySide();
        screens[1].monitorID.reset();
        QCOMPARE(monitorIDForFrame(QRectF(2500, 100, 400, 300), screens), std::nullopt);
    }

    void nonFiniteFramesNeverWin()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QCOMPARE(screenIndexForFrame(QRectF(nan, 0, 100, 100), sideBySide()), 0);
        QCOMPARE(screenIndexForFrame(QRectF(2000, 0, nan, 100), sideBySide()), 0);
        QCOMPARE(screenIndexForFrame(QRectF(-inf, 0, inf, 100), sideBySide()), 0);
        QCOMPARE(intersectionArea(QRectF(0, 0, inf, inf), QRectF(10, 10, 5, 5)), 25.0);
    }

    void negativeSizesAreFlipped()
    {
        // (2300, 400) with a size of -400 × -300 is the rectangle (1900, 100, 400, 300).
        QCOMPARE(intersectionArea(QRectF(2300, 400, -400, -300), QRectF(1920, 0, 1920, 1080)), 380.0 * 300.0);
        QCOMPARE(monitorIDForFrame(QRectF(2300, 400, -400, -300), sideBySide()), right);
    }
};

QTEST_GUILESS_MAIN(TestMonitorChoice)
#include "tst_monitorchoice.moc"
