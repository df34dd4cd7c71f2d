// The painted theme pieces: the grid inside rounded corners and glows cut
// into nine slices.
#include "roundedglow.h"
#include "softblur.h"
#include "themepainting.h"

#include <QPainter>
#include <QTest>

namespace {

QImage paintItem(QQuickPaintedItem &item)
{
    QImage out(item.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    item.paint(&painter);
    return out;
}

} // namespace

class PaintedThemeTest : public QObject
{
    Q_OBJECT

private slots:
    void gridStaysInsideRoundedCorners()
    {
        QImage panel(100, 80, QImage::Format_ARGB32_Premultiplied);
        panel.fill(Qt::transparent);
        QPainter painter(&panel);
        ThemePainting::paintGrid(painter, panel.size(), Qt::white, 20);
        painter.end();
        // The lines at x = 0 and y = 0 run through the top-left corner,
        // which the rounding cuts away.
        QCOMPARE(qAlpha(panel.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(panel.pixel(0, 3)), 0);
        QCOMPARE(qAlpha(panel.pixel(3, 0)), 0);
        // Past the curve they are drawn, one pixel wide, every 20 points.
        QCOMPARE(qAlpha(panel.pixel(0, 40)), 255);
        QCOMPARE(qAlpha(panel.pixel(40, 0)), 255);
        QCOMPARE(qAlpha(panel.pixel(60, 41)), 255);
        QCOMPARE(qAlpha(panel.pixel(61, 41)), 0);
        QCOMPARE(qAlpha(panel.pixel(41, 79)), 0); // no line at the bottom edge
    }

    void gridWithoutCornersReachesEveryEdge()
    {
        QImage panel(41, 41, QImage::Format_ARGB32_Premultiplied);
        panel.fill(Qt::transparent);
        QPainter painter(&panel);
        ThemePainting::paintGrid(painter, panel.size(), Qt::white);
        painter.end();
        QCOMPARE(qAlpha(panel.pixel(0, 0)), 255);
        QCOMPARE(qAlpha(panel.pixel(40, 0)), 255);
        QCOMPARE(qAlpha(panel.pixel(20, 40)), 255);
    }

    // A large glow is drawn from a small blurred copy cut in nine; it must
    // look exactly like the large shape blurred as a whole.
    void slicedGlowMatchesTheWholeBlur()
    {
        RoundedGlow glow;
        glow.setSize(QSizeF(240, 150));
        glow.setGlowRadius(8);
        glow.setCornerRadius(12);
        glow.setColor(Qt::white);
        const QImage sliced = paintItem(glow);

        QImage whole(240, 150, QImage::Format_Alpha8);
        whole.fill(0);
        QPainter shape(&whole);
        shape.setRenderHint(QPainter::Antialiasing);
        shape.fillPath(ThemePainting::roundedRect(QRectF(8, 8, 224, 134), 12), Qt::white);
        shape.end();
        SoftBlur::blur(whole, 8 / 2.5);

        int worst = 0;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 240; ++x)
                worst = std::max(worst, std::abs(qAlpha(sliced.pixel(x, y)) - int(whole.constScanLine(y)[x])));
        }
        QVERIFY2(worst <= 1, qPrintable(QStringLiteral("largest difference %1").arg(worst)));
        // Full strength inside, half on the edge, nothing at the item's rim.
        QCOMPARE(qAlpha(sliced.pixel(120, 75)), 255);
        QVERIFY(qAlpha(sliced.pixel(120, 8)) > 100 && qAlpha(sliced.pixel(120, 8)) < 160);
        QVERIFY(qAlpha(sliced.pixel(120, 0)) < 10);
    }

    void aNewColourKeepsTheShape()
    {
        RoundedGlow glow;
        glow.setSize(QSizeF(120, 60));
        glow.setGlowRadius(4);
        glow.setCornerRadius(6);
        glow.setRimWidth(1.5);
        glow.setColor(QColor(0, 255, 0, 255));
        const QImage green = paintItem(glow);
        glow.setColor(QColor(255, 0, 0, 255));
        const QImage red = paintItem(glow);
        // Only the rim glows: the middle stays clear.
        QCOMPARE(qAlpha(red.pixel(60, 30)), 0);
        QVERIFY(qAlpha(red.pixel(60, 4)) > 0);
        QCOMPARE(qAlpha(red.pixel(60, 4)), qAlpha(green.pixel(60, 4)));
        QCOMPARE(qRed(red.pixel(60, 4)), qAlpha(red.pixel(60, 4)));
        QCOMPARE(qGreen(red.pixel(60, 4)), 0);
    }
};

QTEST_MAIN(PaintedThemeTest)
#include "tst_paintedtheme.moc"
