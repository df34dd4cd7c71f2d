// Start-up and lifetime of the application, in the order the parts depend on each other.
#include "corvalintapp.h"

#include "applifecycle.h"
#include "automation/automationservice.h"
#include "automation/loginlaunch.h"
#include "cli/capturerequest.h"
#include "cli/commandresult.h"
#include "cli/instancechannel.h"
#include "cli/instancelock.h"
#include "cli/launchnotifier.h"
#include "cli/storecommands.h"
#include "firstframereport.h"
#include "gnometopbarmenu.h"
#include "instanceserver.h"
#include "launcherhost.h"
#include "mainwindowhost.h"
#include "model/sync/foldersync.h"
#include "model/sync/foldersynccontrol.h"
#include "model/workspacestore.h"
#include "overlay/previewoverlaymanager.h"
#include "platform/desktopsession.h"
#include "platform/gnome/gnomecustomkeybinding.h"
#include "platform/gnome/gnomedesktop.h"
#include "platform/kde/kglobalaccelhotkey.h"
#include "platform/x11/x11hotkeygrab.h"
#include "platform/xdg/autostartentry.h"
#include "platform/xdg/programfiles.h"
#include "traymenu.h"
#include "views/hotkeysetting.h"
#include "views/renderingbackend.h"
#include "views/viewservices.h"

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QLibraryInfo>
#include <QQmlApplicationEngine>
#include <QSettings>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

namespace {

int fail(const QString &line, int code = 1)
{
    QTextStream(stderr) << line << '\n';
    return code;
}

/// Whether Qt would need an X display and there is none (it would abort).
bool lacksDisplay()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    return (platform.isEmpty() || platform.startsWith(QLatin1String("xcb"))) && qEnvironmentVariableIsEmpty("DISPLAY");
}

/// Asks the running instance to bring its window back.
int activateRunningInstance(const QString &path)
{
    InstanceChannel::Bounds bounds;
    bounds.connectMs = 2000;
    bounds.acceptMs = 10000;
    bounds.resultMs = 10000;
    const InstanceChannel::Reply reply = InstanceChannel::request(path, InstanceChannel::activateMessage(), bounds);
    switch (reply.status) {
    case InstanceChannel::Reply::Status::answered:
        return 0;
    case InstanceChannel::Reply::Status::noResult:
        return fail(QStringLiteral("corvalint: Corvalint runs already; it took the request to show its window but "
                                   "has not shown it within 10 s"));
    case InstanceChannel::Reply::Status::notTaken:
    case InstanceChannel::Reply::Status::noInstance:
        break;
    }
    return fail(QStringLiteral("corvalint: Corvalint runs already but did not answer within 10 s (it is busy or "
                               "frozen); its window was not shown"));
}

} // namespace

int CorvalintApp::exec(int &argc, char **argv, const Invocation &invocation)
{
    if (!invocation.error.isEmpty())
        return fail(QStringLiteral("corvalint: ") + invocation.error, 2);
    // Started by the autostart entry: only the tray, then the workspaces marked for it.
    const bool atLogin = invocation.arguments.contains(AutostartEntry::loginOption);
    for (const QString &word : invocation.arguments) {
        if (word.startsWith(QLatin1String("--")) && word != AutostartEntry::loginOption)
            return fail(QStringLiteral("corvalint: unknown option %1; see corvalint --help").arg(word), 2);
    }
    if (!invocation.logFile.isEmpty() && !invocation.desktop.startsWith(QLatin1String(DesktopSession::simPrefix)))
        return fail(QStringLiteral("corvalint: --log needs a simulated desktop (--desktop sim:SCENARIO.json)"), 2);
    if (lacksDisplay())
        return fail(QStringLiteral("corvalint: needs an X11 session, and DISPLAY is not set"));

    RenderingBackend::chooseDefault();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvalint"));
    QApplication::setApplicationName(QStringLiteral("Corvalint"));
    QApplication::setDesktopFileName(QStringLiteral("corvalint"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/corvalint/corvalint.svg")));
    // Closing the main window leaves Corvalint running in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    // The window speaks German; Qt's own dialogs (the file dialog where no
    // portal runs, its overwrite question) should too.
    auto *qtTexts = new QTranslator(&app);
    if (qtTexts->load(QStringLiteral("qt_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTexts);
    RenderingBackend::confirmOpenGL();

    // The handler is bound once everything it reaches exists; requests are only
    // read once the event loop runs.
    InstanceServer::Handler handler;
    InstanceServer instance([&handler](const QJsonObject &request) { return handler(request); });
    const QString storeDirectory = WorkspaceStore::defaultDirectory();
    QString error;
    const QString socket = InstanceChannel::socketPath(storeDirectory, qEnvironmentVariable("DISPLAY"));
    switch (instance.claim(socket, &error)) {
    case InstanceServer::Claim::otherInstanceRuns:
        return activateRunningInstance(socket);
    case InstanceServer::Claim::failed:
        QTextStream(stderr) << "corvalint: runs without the single-instance channel: " << error << '\n';
        break;
    case InstanceServer::Claim::listening:
        break;
    }

    // One writer per store: a command line working on the store by itself
    // finishes first; a Corvalint on another display keeps it.
    InstanceLock storeLock;
    if (!storeLock.acquire(storeDirectory, 3000, &error))
        return fail(
            QStringLiteral("corvalint: cannot become the writer of the store in %1: %2").arg(storeDirectory, error));

    // The store opens before any window; failing to open it is fatal.
    std::unique_ptr<WorkspaceStore> store = WorkspaceStore::open(storeDirectory, &error);
    if (!store)
        return fail(WorkspaceStore::fatalMessage(error));
    // Not fatal: the window shows the same sentence until saving works again.
    if (!store->writeProblem().isEmpty())
        QTextStream(stderr) << "corvalint: " << store->writeProblem() << '\n';

    std::unique_ptr<DesktopSession> desktop
        = DesktopSession::open(DesktopSession::choiceFor(invocation.desktop, invocation.desktopChosen), false, &error);
    if (!desktop)
        return fail(QStringLiteral("corvalint: ") + error);
    desktop->driveVirtualTime();

    QSettings settings;
    // Before the views, so that the first window already shows what came from the other computers.
    FolderSyncControl folderSync(*store, settings, FolderSync::computerName());
    PreviewOverlayManager overlay(desktop->platform());
    overlay.setHintsPlatform(&desktop->ownWindows());
    ViewServices services(*store, desktop->automation(), desktop->platform(), settings);
    // The detail view finds the shared overlay manager through the services.
    services.setOverlay(&overlay);
    services.setFolderSync(&folderSync);
    // The global hotkey: on X11 a grab of our own; on GNOME a custom keybinding of GNOME's that runs
    // `corvalint launcher`; elsewhere the user binds that command in the desktop's own settings.
    std::unique_ptr<GlobalHotkey> globalHotkey;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        globalHotkey = X11HotkeyGrab::connect(QString(), &error);
    else if (qobject_cast<GnomeDesktop *>(&desktop->platform()))
        globalHotkey = std::make_unique<GnomeCustomKeybinding>(
            ProgramFiles::commandFor(QCoreApplication::applicationFilePath()));
    else if (KGlobalAccelHotkey::available(QDBusConnection::sessionBus()))
        globalHotkey = std::make_unique<KGlobalAccelHotkey>(QDBusConnection::sessionBus());
    HotkeySetting hotkey(settings, globalHotkey.get());
    services.setHotkey(&hotkey);
    ViewServices::setInstance(&services);
    QQmlApplicationEngine engine;
    LauncherHost launcher([&engine]() -> QWindow * {
        const qsizetype before = engine.rootObjects().size();
        engine.load(QUrl(QStringLiteral("qrc:/Corvalint/LauncherWindow.qml")));
        const QList<QObject *> roots = engine.rootObjects();
        return roots.size() > before ? qobject_cast<QWindow *>(roots.last()) : nullptr;
    });
    QObject::connect(&hotkey, &HotkeySetting::activated, &launcher, [&launcher] { launcher.open(); });
    const std::function<bool()> openLauncher = [&launcher] { return launcher.open(); };
    // Made once the main window stands, so that the hotkey's first press shows it at once.
    QTimer::singleShot(300, &launcher, [&launcher] { launcher.prepare(); });
    MainWindowHost host([&engine]() -> QWindow * {
        const qsizetype before = engine.rootObjects().size();
        engine.load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
        const QList<QObject *> roots = engine.rootObjects();
        return roots.size() > before ? qobject_cast<QWindow *>(roots.last()) : nullptr;
    });

    host.setTaskbarHint(
        [&desktop](quintptr window, bool skip) { desktop->ownWindows().setOwnWindowHints(window, skip, false); });

    AutomationService &automation = desktop->automation();
    DesktopSession &session = *desktop;
    // A launch the user does not watch in the window ends with a desktop notification.
    LaunchNotifier notifier(
        automation, [&host] { return host.window() && host.window()->isVisible(); }, QDBusConnection::sessionBus());
    AppLifecycle lifecycle(host, [&]() {
        TrayMenu::Actions actions;
        actions.launch
            = [&automation, &notifier](const QList<EntryData> &entries, bool restoreDocuments, bool focusMode) {
                  notifier.launchAskedElsewhere();
                  // Not awaited: the click returns at once and the launch goes on by itself.
                  automation.launchWorkspace(entries, restoreDocuments, focusMode);
              };
        actions.trayForegroundRgb = [&session] { return session.platform().trayForegroundRgb(); };
        actions.screenCount = [&session] { return int(session.platform().monitors().size()); };
        actions.openMainWindow = [&host] { host.reopen(); };
        actions.quit = [] { QApplication::quit(); };
        // GNOME shows no tray: with Corvalint's extension running, the menu goes to its top-bar button instead.
        auto *gnome = qobject_cast<GnomeDesktop *>(&session.platform());
        const bool topBar = gnome && gnome->canControlWindows();
        actions.menuShownElsewhere = [topBar] { return topBar; };
        auto trayMenu = std::make_unique<TrayMenu>(*store, std::move(actions));
        if (topBar)
            new GnomeTopBarMenu(
                gnome->client(), *trayMenu, *store, [&session] { return int(session.platform().monitors().size()); },
                trayMenu.get());
        return trayMenu;
    });
    QObject::connect(&host, &MainWindowHost::appeared, &lifecycle, [&lifecycle] { lifecycle.mainWindowAppeared(); });
    lifecycle.started(settings);
    // The settings page's switch takes effect at once.
    QObject::connect(&services, &ViewServices::showDockIconChanged, &lifecycle, &AppLifecycle::setShowDockIcon);

    StoreCommands commands(*store);
    handler = [&](const QJsonObject &request) -> QJsonObject {
        const QString type = request.value(QLatin1String("type")).toString();
        if (type == QLatin1String("activate")) {
            lifecycle.reopen();
            return CommandResult::success().toJson();
        }
        if (type == QLatin1String("store"))
            return commands.execute(request.value(QLatin1String("request")).toObject()).toJson();
        // The command line's capture, read from this session's desktop, which is open here already.
        if (type == QLatin1String("capture")) {
            const auto completed = CaptureRequest::withDesktop(
                request.value(QLatin1String("request")).toObject(), automation, session.platform().canControlWindows());
            if (const QString *problem = std::get_if<QString>(&completed))
                return CommandResult::failure(QStringLiteral("corvalint: ") + *problem).toJson();
            return commands.execute(std::get<QJsonObject>(completed)).toJson();
        }
        if (type == QLatin1String("launcher"))
            return (openLauncher() ? CommandResult::success()
                                   : CommandResult::failure(QStringLiteral("the launcher window could not be made")))
                .toJson();
        return CommandResult::failure(QStringLiteral("corvalint: unknown request \"%1\"").arg(type)).toJson();
    };

    if (atLogin) {
        // Not awaited: the event loop runs while the desktop comes up.
        LoginLaunch::run(
            automation, desktop->clock(), [&store] { return store->fetchAll(false).value_or(QList<WorkspaceData>()); });
    } else {
        host.show();
        if (!host.window())
            return fail(QStringLiteral("corvalint: the main window could not be created"));
        FirstFrameReport::watch(host.window());
    }

    const int code = QApplication::exec();
    if (!invocation.logFile.isEmpty() && !desktop->writeRequestLog(invocation.logFile, &error))
        return fail(QStringLiteral("corvalint: ") + error);
    return code;
}
