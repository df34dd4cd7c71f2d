// Opens the main window on a temporary store and a simulated desktop shaped like the
// test desktop's two monitors, showing one workspace's detail view, its edit sheet, or
// its preview overlay, and says when it is drawn, so scripts/screenshots-detail can
// take pictures of the real look.
//
//   corvalint-detail-shots [--sheet | --overlay | --empty | --unplugged] [--ready FILE] [--size WxH]
//
// When drawn, FILE receives one line "x y width height" per window to photograph
// (the main window, or every overlay window) in root coordinates; the process then
// waits until it is killed.
#include "../shotwindow.h"
#include "automation/automationservice.h"
#include "detailcontroller.h"
#include "model/workspace.h"
#include "model/workspacestore.h"
#include "navigationcontroller.h"
#include "overlay/previewoverlaymanager.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"
#include "renderingbackend.h"
#include "viewservices.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickView>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

namespace {

const QString monitorA = QStringLiteral("6A1E0C52-3B8F-5D7A-9C41-0E2F7B9D1A11");
const QString monitorB = QStringLiteral("9B7D2E61-4C9A-5E8B-8D52-1F3A8C0E2B22");
const QString unpluggedMonitor = QStringLiteral("C3D4E5F6-0718-5293-A4B5-C6D7E8F90A33");

EntryData entry(const char *kind, const QRectF &frame, const std::optional<QString> &monitor)
{
    EntryData data;
    data.typeRawValue = QString::fromLatin1(kind);
    data.frameX = frame.x();
    data.frameY = frame.y();
    data.width = frame.width();
    data.height = frame.height();
    data.monitorID = monitor;
    return data;
}

Workspace *seed(WorkspaceStore &store, bool empty, bool unplugged)
{
    auto *workspace = new Workspace(
        QStringLiteral("Lumenfern Coding"), QStringLiteral("curlybraces"), QStringLiteral("Development"), true, true);
    if (!empty) {
        EntryData code = entry("application", QRectF(0, 0, 1280, 1050), monitorA);
        code.appBundleIdentifier = QStringLiteral("com.visualstudio.code.oss");
        EntryData firefox = entry("website", QRectF(1290, 30, 630, 700.6), monitorA);
        firefox.websiteURL = QStringLiteral("https://doc.qt.io/qt-6/qquickwindow.html");
        EntryData terminal = entry("application", QRectF(1935.4, 40.8, 800.9, 600), monitorB);
        terminal.appBundleIdentifier = QStringLiteral("org.gnome.Terminal");
        EntryData notes = entry("file", QRectF(2200, 560, 100, 50), monitorB);
        notes.filePath = QStringLiteral("/home/ada/Notizen/sprint.md");
        EntryData projects = entry("folder", QRectF(-12.7, 30.2, 640, 480), unplugged ? unpluggedMonitor : monitorA);
        projects.filePath = QStringLiteral("/home/ada/Projekte/");
        EntryData loose = entry("application", QRectF(300, 300, 0, 0), std::nullopt);
        loose.appBundleIdentifier = QStringLiteral("org.kde.kcalc");
        // The list is ordered by entry id: fixed ids give the same picture on every run.
        int number = 0;
        for (EntryData data : { code, firefox, terminal, notes, projects, loose }) {
            data.id = QUuid(QStringLiteral("00000000-0000-4000-8000-%1").arg(++number, 12, 10, QLatin1Char('0')));
            workspace->appendEntry(data);
        }
    }
    store.insert(workspace);
    store.save();
    return workspace;
}

} // namespace

int main(int argc, char *argv[])
{
    RenderingBackend::chooseDefault();
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption sheet("sheet", "Open the edit sheet.");
    const QCommandLineOption overlayOption("overlay", "Open the preview overlay on every screen.");
    const QCommandLineOption empty("empty", "A workspace without entries.");
    const QCommandLineOption unplugged("unplugged", "One entry stood on a monitor that is not connected.");
    const QCommandLineOption ready("ready", "Write the frames to photograph here once drawn.", "FILE");
    const QCommandLineOption size("size", "Main window size.", "WxH", "1280x860");
    parser.addOptions({ sheet, overlayOption, empty, unplugged, ready, size });
    parser.process(app);

    QTemporaryDir folder;
    VirtualClock clock;
    SimulatedDesktop desktop(clock);
    // The test desktop's monitors: A primary at the origin, B to its right.
    desktop.setScreens({ SimScreen { 1, QRectF(0, 0, 1920, 1080), monitorA },
        SimScreen { 2, QRectF(1920, 0, 1280, 1024), monitorB } });
    AutomationService automation(desktop, clock);
    QString error;
    std::unique_ptr<WorkspaceStore> store = WorkspaceStore::open(folder.path(), &error);
    if (!store)
        qFatal("store: %s", qPrintable(error));
    QSettings settings(folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    ViewServices services(*store, automation, desktop, settings);
    ViewServices::setInstance(&services);
    PreviewOverlayManager overlay(desktop);
    Workspace *workspace = seed(*store, parser.isSet(empty), parser.isSet(unplugged));

    QQmlApplicationEngine engine;
    QQuickWindow *window = openMainWindow(engine, sizeFrom(parser.value(size)));
    if (!window)
        return 1;

    auto *navigation = window->findChild<NavigationController *>();
    if (!navigation)
        qFatal("no navigation in the main window");
    navigation->showWorkspace(workspace);
    auto *controller = window->findChild<DetailController *>();
    if (!controller)
        qFatal("no detail view after selecting the workspace");
    controller->setOverlay(&overlay);
    if (parser.isSet(sheet))
        controller->beginEdit();
    if (parser.isSet(overlayOption))
        controller->showPreview();

    // Give the window manager and the first frames time, then report.
    QTimer::singleShot(1500, window, [&] {
        QString frames;
        if (parser.isSet(overlayOption)) {
            for (QQuickView *view : overlay.windowList())
                frames += frameLine(view);
        } else {
            frames = frameLine(window);
        }
        writeReadyFile(parser.value(ready), frames);
    });
    return app.exec();
}
