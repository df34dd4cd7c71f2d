// The preview command's overlay, in the window program.
#include "previewcommand.h"

#include "overlay/previewoverlaymanager.h"
#include "platform/desktopsession.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <memory>

namespace PreviewCommand {

int exec(int &argc, char **argv, const Invocation &invocation)
{
    const bool canShowWindows = !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    std::unique_ptr<QCoreApplication> app;
    if (canShowWindows)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvalint"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvalint"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return CommandLine::run(
        invocation, out, err, canShowWindows ? CommandLine::Preview(&show) : CommandLine::Preview());
}

QString show(const QList<EntryData> &entries, DesktopSession &desktop)
{
    PreviewOverlayManager overlay(desktop.platform());
    overlay.setHintsPlatform(&desktop.ownWindows());
    QEventLoop loop;
    QObject::connect(&overlay, &PreviewOverlayManager::closed, &loop, &QEventLoop::quit);
    overlay.show(entries);
    if (!overlay.isShowing())
        return QStringLiteral("the desktop reports no screen to show the overlay on");
    loop.exec();
    return {};
}

} // namespace PreviewCommand
