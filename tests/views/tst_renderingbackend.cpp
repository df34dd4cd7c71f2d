// The renderer choice: OpenGL only where a GPU draws, the software renderer
// where Mesa would rasterise on the CPU or there is no GL at all.
#include "renderingbackend.h"

#include <QTest>

using RenderingBackend::Choice;

class RenderingBackendTest : public QObject
{
    Q_OBJECT

private slots:
    void realGpusGetOpenGL()
    {
        QCOMPARE(RenderingBackend::choiceFor(true, QStringLiteral("Mesa Intel(R) UHD Graphics 620 (KBL GT2)")),
            Choice::OpenGL);
        QCOMPARE(
            RenderingBackend::choiceFor(true, QStringLiteral("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)")),
            Choice::OpenGL);
        QCOMPARE(
            RenderingBackend::choiceFor(true, QStringLiteral("NVIDIA GeForce RTX 3060/PCIe/SSE2")), Choice::OpenGL);
    }

    void cpuRasterisersAndMissingGlGetSoftware()
    {
        QCOMPARE(
            RenderingBackend::choiceFor(true, QStringLiteral("llvmpipe (LLVM 15.0.6, 256 bits)")), Choice::Software);
        QCOMPARE(RenderingBackend::choiceFor(true, QStringLiteral("softpipe")), Choice::Software);
        QCOMPARE(RenderingBackend::choiceFor(true, QStringLiteral("Software Rasterizer")), Choice::Software);
        QCOMPARE(RenderingBackend::choiceFor(true, QString()), Choice::Software);
        // No render node: not even asked.
        QCOMPARE(
            RenderingBackend::choiceFor(false, QStringLiteral("Mesa Intel(R) UHD Graphics 620")), Choice::Software);
    }
};

QTEST_GUILESS_MAIN(RenderingBackendTest)
#include "tst_renderingbackend.moc"
