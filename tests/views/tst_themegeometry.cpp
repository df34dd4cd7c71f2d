// Where the grid and the scan lines of the theme fall.
#include "themegeometry.h"

#include <QTest>

class ThemeGeometryTest : public QObject
{
    Q_OBJECT

private slots:
    void gridLinesStopBeforeTheEdge()
    {
        // 45 × 20: vertical lines at 0, 20, 40 and a single horizontal one at 0.
        QCOMPARE(ThemeGeometry::gridLines(45), (QList<double> { 0, 20, 40 }));
        QCOMPARE(ThemeGeometry::gridLines(20), (QList<double> { 0 }));
        QCOMPARE(ThemeGeometry::gridLines(40.5), (QList<double> { 0, 20, 40 }));
    }

    void emptyExtentsDrawNoGrid()
    {
        QVERIFY(ThemeGeometry::gridLines(0).isEmpty());
        QVERIFY(ThemeGeometry::gridLines(-5).isEmpty());
        QVERIFY(ThemeGeometry::gridLines(qQNaN()).isEmpty());
        QVERIFY(ThemeGeometry::gridLines(qInf()).isEmpty());
    }

    void scanlinesCountOnePerEightPointsRoundedDown()
    {
        QCOMPARE(ThemeGeometry::scanlineCount(100), 12);
        QCOMPARE(ThemeGeometry::scanlineCount(7.9), 0);
        QCOMPARE(ThemeGeometry::scanlineCount(8), 1);
        QCOMPARE(ThemeGeometry::scanlineCount(0), 0);
        QCOMPARE(ThemeGeometry::scanlineCount(-40), 0);
    }
};

QTEST_GUILESS_MAIN(ThemeGeometryTest)
#include "tst_themegeometry.moc"
