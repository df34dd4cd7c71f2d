// Opens the main window on the settings page, on a temporary store and the
// simulated desktop, in a chosen state, and says when it is drawn, so
// shoot-settings.sh can take a picture of it on the test desktop.
//
//   corvalint-settings-shots [--untrusted] [--recording] [--exported] [--help-dialog]
//                            [--no-dock] [--export-panel] [--ready FILE] [--size WxH]
//
// When drawn, FILE receives the window's frame "x y width height" in root
// coordinates; the process then waits until it is killed.
#include "../shotwindow.h"
#include "backupcontroller.h"
#include "navigationcontroller.h"
#include "renderingbackend.h"
#include "settingscontroller.h"
#include "viewsfixture.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

int main(int argc, char *argv[])
{
    RenderingBackend::chooseDefault();
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption untrusted("untrusted", "No window control: the red shield and the button.");
    const QCommandLineOption recording("recording", "The hotkey field in its recording display.");
    const QCommandLineOption exported("exported", "Export two workspaces first, so the status line shows.");
    const QCommandLineOption help("help-dialog", "Open the help behind \"Hilfe zur Fenstersteuerung öffnen\".");
    const QCommandLineOption noDock("no-dock", "Store showDockIcon = false first.");
    const QCommandLineOption exportPanel("export-panel", "Press \"Workspaces exportieren (.workspace)\".");
    const QCommandLineOption ready("ready", "Write the window frame here once drawn.", "FILE");
    const QCommandLineOption size("size", "Window size.", "WxH", "1100x760");
    parser.addOptions({ untrusted, recording, exported, help, noDock, exportPanel, ready, size });
    parser.process(app);

    ViewsFixture fixture;
    fixture.desktop.setTrusted(!parser.isSet(untrusted));
    fixture.addWorkspace(QStringLiteral("Coding"), QStringLiteral("Development"), 3, 2, true, 60);
    fixture.addWorkspace(QStringLiteral("Design"), QStringLiteral("Design"), 2, 1, false, 30);
    if (parser.isSet(noDock))
        fixture.services->setShowDockIcon(false);

    QQmlApplicationEngine engine;
    QQuickWindow *window = openMainWindow(engine, sizeFrom(parser.value(size)));
    if (!window)
        return 1;
    window->findChild<NavigationController *>()->showSettings();

    auto *page = window->findChild<QQuickItem *>(QStringLiteral("settings"));
    if (!page) {
        qCritical("the settings page did not load");
        return 1;
    }
    auto *controller = page->property("controller").value<SettingsController *>();
    if (parser.isSet(recording))
        controller->toggleRecordingHotkey();
    if (parser.isSet(help))
        controller->openSystemSettings();
    if (parser.isSet(exported)) {
        auto *backup = page->property("backup").value<BackupController *>();
        backup->exportBackup(QUrl::fromLocalFile(fixture.dir.filePath(QStringLiteral("CorvalintBackups.workspace"))));
    }

    if (parser.isSet(exportPanel)) {
        // The button's own handler presets the panel, so press it rather than open the panel.
        QObject *button = page->findChild<QQuickItem *>(QStringLiteral("exportButton"));
        QTimer::singleShot(500, button, [button] { QMetaObject::invokeMethod(button, "clicked"); });
    }

    // Give the window manager and the first frames time, then report.
    QTimer::singleShot(1500, window, [&] { writeReadyFile(parser.value(ready), frameLine(window)); });
    return app.exec();
}
