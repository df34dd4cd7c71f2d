// The CPU blur behind glows and the frosted backdrop.
#include "softblur.h"

#include <QTest>
#include <cmath>

namespace {

qint64 alphaSum(const QImage &image)
{
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y));
    return sum;
}

} // namespace

class SoftBlurTest : public QObject
{
    Q_OBJECT

private slots:
    void threeBoxesMatchTheWantedSpread()
    {
        for (double sigma : { 1.0, 1.6, 2.5, 4.0, 10.0 }) {
            const SoftBlur::Passes passes = SoftBlur::passesForSigma(sigma);
            double variance = 0;
            for (int half : passes.halfWidth) {
                const int width = 2 * half + 1;
                variance += (width * width - 1) / 12.0;
            }
            // Odd box widths only come in steps of two; within one step of
            // variance is what the three boxes can reach.
            QVERIFY2(std::abs(std::sqrt(variance) - sigma) < 0.5, qPrintable(QString::number(sigma)));
        }
    }

    void noSpreadLeavesTheImageAsItIs()
    {
        for (double sigma : { 0.0, -3.0, qQNaN(), qInf() }) {
            const SoftBlur::Passes passes = SoftBlur::passesForSigma(sigma);
            QCOMPARE(passes.halfWidth[0] + passes.halfWidth[1] + passes.halfWidth[2], 0);
        }
        QImage dot(9, 9, QImage::Format_Alpha8);
        dot.fill(0);
        dot.setPixel(4, 4, 255);
        const QImage before = dot;
        SoftBlur::blur(dot, 0);
        QCOMPARE(dot, before);
    }

    void aGlowKeepsItsInkAndSpreadsEvenly()
    {
        QImage dot(41, 41, QImage::Format_ARGB32_Premultiplied);
        dot.fill(Qt::transparent);
        for (int y = 18; y <= 22; ++y)
            for (int x = 18; x <= 22; ++x)
                dot.setPixel(x, y, qRgba(255, 255, 255, 255));
        const qint64 ink = alphaSum(dot);
        SoftBlur::blur(dot, 3);
        // Rounding per pass may lose a little, never make ink.
        QVERIFY(alphaSum(dot) <= ink);
        QVERIFY(alphaSum(dot) > ink * 95 / 100);
        // Symmetric around the centre, and fading with distance.
        QCOMPARE(qAlpha(dot.pixel(14, 20)), qAlpha(dot.pixel(26, 20)));
        QCOMPARE(qAlpha(dot.pixel(20, 14)), qAlpha(dot.pixel(20, 26)));
        QVERIFY(qAlpha(dot.pixel(20, 20)) > qAlpha(dot.pixel(14, 20)));
        QVERIFY(qAlpha(dot.pixel(14, 20)) > qAlpha(dot.pixel(8, 20)));
    }

    void edgesFadeForGlowsAndHoldForBackgrounds()
    {
        QImage glow(30, 10, QImage::Format_Alpha8);
        glow.fill(200);
        QImage background = glow;
        SoftBlur::blur(glow, 2, SoftBlur::Edges::Transparent);
        SoftBlur::blur(background, 2, SoftBlur::Edges::Extended);
        // A background keeps its colour up to the window's edge; a glow's
        // shape fades towards the outside.
        QCOMPARE(int(background.constScanLine(0)[0]), 200);
        QCOMPARE(int(background.constScanLine(5)[29]), 200);
        QVERIFY(int(glow.constScanLine(0)[0]) < 120);
        QCOMPARE(int(glow.constScanLine(5)[15]), 200);
    }
};

QTEST_GUILESS_MAIN(SoftBlurTest)
#include "tst_softblur.moc"
