// Which Qt Quick scene graph Corvalint's windows draw with.
#include "renderingbackend.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>

Q_LOGGING_CATEGORY(renderingLog, "corvalint.rendering", QtWarningMsg)

namespace RenderingBackend {

namespace {

bool s_decided = false;

bool userChose()
{
    return !qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") || !qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND");
}

bool hasRenderNode()
{
    // Mesa's own switch for "draw on the CPU" counts as no GPU.
    if (qEnvironmentVariableIntValue("LIBGL_ALWAYS_SOFTWARE") == 1)
        return false;
    const QFileInfoList nodes
        = QDir(QStringLiteral("/dev/dri")).entryInfoList({ QStringLiteral("renderD*") }, QDir::System);
    return std::any_of(
        nodes.cbegin(), nodes.cend(), [](const QFileInfo &node) { return node.isReadable() && node.isWritable(); });
}

void use(Choice choice, const QString &why)
{
    s_decided = true;
    QQuickWindow::setGraphicsApi(
        choice == Choice::Software ? QSGRendererInterface::Software : QSGRendererInterface::OpenGL);
    qCInfo(renderingLog).noquote() << (choice == Choice::Software ? "software renderer:" : "OpenGL:") << why;
}

} // namespace

bool isSoftwareRasterizer(const QString &glRenderer)
{
    const QString name = glRenderer.toLower();
    return name.contains(QLatin1String("llvmpipe")) || name.contains(QLatin1String("softpipe"))
        || name.contains(QLatin1String("swrast")) || name.contains(QLatin1String("software rasterizer"));
}

Choice choiceFor(bool renderNode, const QString &glRenderer)
{
    // Every glow, blur and glass panel of the theme is painted on the CPU, so
    // OpenGL on a CPU rasteriser only adds its start-up (loading and compiling
    // llvmpipe takes longer than the whole window takes to paint).
    if (!renderNode || glRenderer.isEmpty() || isSoftwareRasterizer(glRenderer))
        return Choice::Software;
    return Choice::OpenGL;
}

void chooseDefault()
{
    s_decided = false;
    if (userChose()) {
        s_decided = true;
        qCInfo(renderingLog) << "as QT_QUICK_BACKEND or QSG_RHI_BACKEND say";
        return;
    }
    if (!hasRenderNode())
        use(Choice::Software, QStringLiteral("no GPU render node"));
}

void confirmOpenGL()
{
    if (s_decided)
        return;
    QString renderer;
    QOpenGLContext context;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (context.create() && context.makeCurrent(&surface)) {
        renderer = QString::fromLatin1(reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER)));
        context.doneCurrent();
    }
    const Choice choice = choiceFor(true, renderer);
    use(choice, renderer.isEmpty() ? QStringLiteral("no OpenGL context") : renderer);
}

} // namespace RenderingBackend
