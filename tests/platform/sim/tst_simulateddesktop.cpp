// The simulated desktop: snapshots of scenario files, placement and its refusals, launches on virtual time, closing,
// collectors, and the request log.
#include "automation/automationservice.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <limits>

namespace {

QString scenario(const char *name)
{
    return QStringLiteral(CORVALINT_SCENARIO_DIR "/") + QLatin1String(name);
}

const DesktopApplication *findApplication(const DesktopSnapshot &snapshot, const QString &appId)
{
    for (const DesktopApplication &application : snapshot.applications) {
        if (application.appId == appId)
            return &application;
    }
    return nullptr;
}

/// A desktop with one application "a" holding one 100 × 100 window at the origin.
struct OneWindow {
    VirtualClock clock;
    SimulatedDesktop desktop { clock };
    qint64 pid = 0;
    WindowId window = 0;

    explicit OneWindow(bool refusesWrites = false)
    {
        SimApplication application;
        application.appId = QStringLiteral("a");
        SimWindow w = simWindow(QStringLiteral("w"), QRectF(0, 0, 100, 100));
        w.refusesWrites = refusesWrites;
        application.windows = { w };
        pid = desktop.addRunningApplication(application);
        window = desktop.windowsOf(pid).first();
    }

    SimWindow current() const { return *desktop.window(window); }
};

WindowPlacement placement(const QRectF &frame, bool fullScreen = false)
{
    WindowPlacement p;
    p.frame = frame;
    p.state.fullScreen = fullScreen;
    return p;
}

/// Records every launch report with the virtual time it arrived at.
struct Reports {
    QList<double> times;
    QList<LaunchOutcome> outcomes;

    DesktopPlatform::LaunchCompletion completion(VirtualClock &clock)
    {
        return [this, &clock](const LaunchOutcome &outcome) {
            times.append(clock.now());
            outcomes.append(outcome);
        };
    }
};

} // namespace

class TestSimulatedDesktop : public QObject
{
    Q_OBJECT

private slots:
    void scenarioFileDescribesWholeDesktop()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY2(desktop.loadScenario(scenario("two-monitors.json"), &error), qPrintable(error));
        const DesktopSnapshot snapshot = desktop.snapshot();
        QCOMPARE(snapshot.monitors.size(), 3);
        QCOMPARE(snapshot.monitors[1].identifier, QStringLiteral("9B41D7E2-5C3A-4F08-8D6E-7A1B2C3D4E02"));
        QCOMPARE(snapshot.monitors[1].bounds, QRectF(1920, 0, 2560, 1440));
        QCOMPARE(snapshot.monitors[2].identifier, std::nullopt);
        QCOMPARE(snapshot.monitors[2].bounds, QRectF(-1280, 0, 1280, 1024));
        QVERIFY(snapshot.monitors[0].primary && !snapshot.monitors[1].primary);
        QCOMPARE(snapshot.focusedMonitor, 0);
        QCOMPARE(desktop.ownAppId(), QStringLiteral("io.github.corvalint"));
        QVERIFY(desktop.canControlWindows());
        QCOMPARE(snapshot.applications.size(), 6);
        QVERIFY(!findApplication(snapshot, QStringLiteral("com.example.MenuTool"))->regular);
        QVERIFY(findApplication(snapshot, QStringLiteral("com.apple.Safari"))->regular);
        const DesktopApplication *locked = findApplication(snapshot, QStringLiteral("com.example.Locked"));
        QVERIFY(!locked->windowsKnown);
        QCOMPARE(locked->pids, QList<qint64> { 105 });
        QVERIFY(desktop.canLaunch(QStringLiteral("com.example.Editor")));
        QVERIFY(!desktop.canLaunch(QStringLiteral("com.example.Missing")));
        QCOMPARE(desktop.fileStatus(QStringLiteral("/home/me/Projects")).isDirectory, true);
        QCOMPARE(desktop.fileStatus(QStringLiteral("/nowhere")).exists, false);

        const DesktopApplication *editor = findApplication(snapshot, QStringLiteral("com.example.Editor"));
        QCOMPARE(editor->windows.size(), 2);
        const DesktopWindow &notes = editor->windows[0];
        QVERIFY(notes.state.fullScreen);
        QCOMPARE(notes.kind, WindowKind::normal);
        QCOMPARE(notes.document, QStringLiteral("file:///home/me/notes.txt"));
        QCOMPARE(notes.frame, QRectF(2000, 0, 2560, 1440));
        QCOMPARE(notes.pid, 103);
        QCOMPARE(notes.appId, QStringLiteral("com.example.Editor"));
        // "AXPosition": "top left" reads as the origin; the floating role is no standard window.
        const DesktopWindow &palette = editor->windows[1];
        QCOMPARE(palette.frame, QRectF(0, 0, 200, 5));
        QCOMPARE(palette.kind, WindowKind::other);
        QVERIFY(!palette.isStandard());
        QCOMPARE(palette.document, std::nullopt);
    }

    void exampleScenarioCapturesAsBefore()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QVERIFY(desktop.loadScenario(scenario("two-monitors.json")));
        AutomationService service(desktop, clock);
        const QList<EntryData> entries = service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 5);
        QCOMPARE(entries[0].websiteURL, QStringLiteral("https://example.com/news"));
        QCOMPARE(entries[0].monitorID, QStringLiteral("6E2A3C1B-0F4D-4B7E-9C11-2A5D8E9F0A01"));
        QCOMPARE(entries[1].monitorID, QStringLiteral("9B41D7E2-5C3A-4F08-8D6E-7A1B2C3D4E02"));
        QCOMPARE(entries[1].originalScreenWidth, 2560.0);
        QCOMPARE(entries[2].filePath, QStringLiteral("/home/me/Projects"));
        QCOMPARE(entries[3].typeRawValue, QStringLiteral("file"));
        QVERIFY(entries[3].isFullscreen);
        // The palette's unreadable position is captured as the origin.
        QCOMPARE(entries[4].typeRawValue, QStringLiteral("application"));
        QCOMPARE(entries[4].frameX, 0.0);
        QCOMPARE(entries[4].height, 5.0);
    }

    void untrustedScenarioListsNoWindowsButCollectorsAnswer()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QString error;
        QVERIFY2(desktop.loadScenario(scenario("untrusted-no-screens.json"), &error), qPrintable(error));
        QVERIFY(!desktop.canControlWindows());
        const DesktopSnapshot snapshot = desktop.snapshot();
        QVERIFY(snapshot.monitors.isEmpty());
        QCOMPARE(snapshot.focusedMonitor, std::nullopt);
        QCOMPARE(snapshot.applications.size(), 2);
        for (const DesktopApplication &application : snapshot.applications) {
            QVERIFY(!application.windowsKnown);
            QVERIFY(application.windows.isEmpty());
        }
        QCOMPARE(desktop.collectDocuments(DocumentRole::browser1, QStringLiteral("com.google.Chrome")), std::nullopt);
        QCOMPARE(desktop.collectDocuments(DocumentRole::ide, QStringLiteral("com.apple.dt.Xcode")),
            QStringList { QStringLiteral("/Users/me/App/App.xcodeproj") });
        // An application without an answer has no documents, which is not a failure.
        QCOMPARE(
            desktop.collectDocuments(DocumentRole::fileManager, QStringLiteral("com.apple.finder")), QStringList());
        QCOMPARE(desktop.requests(QStringLiteral("runScript")).size(), 3);
        QCOMPARE(desktop.requests(QStringLiteral("runScript"))[1].application, QStringLiteral("com.apple.dt.Xcode"));
    }

    void trustComesBackWithTheWindows()
    {
        OneWindow f;
        QSignalSpy changed(&f.desktop, &SimulatedDesktop::trustedChanged);
        f.desktop.setTrusted(false);
        f.desktop.place(f.window, placement(QRectF(5, 6, 7, 8)));
        f.desktop.activate(f.window);
        f.desktop.setTrusted(true);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(f.current().frame, QRectF(0, 0, 100, 100));
        QVERIFY(!f.current().main);
        QCOMPARE(f.desktop.requests().size(), 2);
        const DesktopApplication application = f.desktop.snapshot().applications.first();
        QVERIFY(application.windowsKnown);
        QCOMPARE(application.windows.first().id, f.window);
    }

    void placeMovesTheWindowAndEndsFullScreen()
    {
        OneWindow f;
        SimWindow fullScreen = f.current();
        fullScreen.state.fullScreen = true;
        fullScreen.desktop = 1;
        f.desktop.setWindow(f.window, fullScreen);
        WindowPlacement p = placement(QRectF(300, 200, 640, 480));
        p.state.maximizedVertically = true;
        f.desktop.place(f.window, p);
        QCOMPARE(f.current().frame, QRectF(300, 200, 640, 480));
        QVERIFY(!f.current().state.fullScreen);
        QVERIFY(f.current().state.maximizedVertically);
        QVERIFY(!f.current().state.maximizedHorizontally);
        // No desktop asked for: it stays where it was.
        QCOMPARE(f.current().desktop, 1);
        p.desktop = allDesktops;
        f.desktop.place(f.window, p);
        QCOMPARE(f.current().desktop, allDesktops);
        const DesktopWindow listed = f.desktop.snapshot().applications.first().windows.first();
        QCOMPARE(listed.frame, QRectF(300, 200, 640, 480));
        QCOMPARE(listed.desktop, allDesktops);
    }

    void fullScreenPlacementKeepsTheFrame()
    {
        OneWindow f;
        f.desktop.place(f.window, placement(QRectF(1920, 0, 2560, 1440), true));
        QVERIFY(f.current().state.fullScreen);
        QCOMPARE(f.current().frame, QRectF(0, 0, 100, 100));
        QCOMPARE(f.current().kind, WindowKind::normal);
    }

    void frameThatIsNotFiniteMovesNothing()
    {
        OneWindow f;
        const double notANumber = std::numeric_limits<double>::quiet_NaN();
        f.desktop.place(f.window, placement(QRectF(notANumber, 0, 10, 10)));
        QCOMPARE(f.current().frame, QRectF(0, 0, 100, 100));
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 1);
    }

    void refusingWindowKeepsEverythingButTheRequestsAreLogged()
    {
        OneWindow f(true);
        WindowPlacement p = placement(QRectF(5, 6, 7, 8), true);
        p.desktop = 3;
        f.desktop.place(f.window, p);
        f.desktop.activate(f.window);
        const SimWindow window = f.current();
        QCOMPARE(window.frame, QRectF(0, 0, 100, 100));
        QVERIFY(!window.state.fullScreen);
        QCOMPARE(window.desktop, std::nullopt);
        QVERIFY(!window.main);
        QCOMPARE(f.desktop.activeWindow(), std::nullopt);
        QCOMPARE(f.desktop.requests().size(), 2);
        QCOMPARE(f.desktop.requests().first().processIdentifier, f.pid);
        QCOMPARE(f.desktop.requests().first().application, QStringLiteral("a"));
    }

    void activateMakesTheMainWindow()
    {
        OneWindow f;
        const WindowId second = f.desktop.addWindow(f.pid, simWindow(QStringLiteral("second"), QRectF(0, 0, 50, 50)));
        f.desktop.activate(f.window);
        f.desktop.activate(second);
        QVERIFY(!f.current().main);
        QVERIFY(f.desktop.window(second)->main);
        QCOMPARE(f.desktop.activeWindow(), second);
        f.desktop.removeWindow(second);
        QCOMPARE(f.desktop.activeWindow(), std::nullopt);
        const QList<SimRequest> activations = f.desktop.requests(QStringLiteral("activate"));
        QCOMPARE(activations.size(), 2);
        QCOMPARE(activations[1].window, second);
    }

    void launchCompletesAndShowsWindowsOnVirtualTime()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        SimLaunchPlan plan;
        plan.completionDelay = 0.3;
        plan.windowDelay = 1.0;
        desktop.installApplication({ QStringLiteral("app"), QStringLiteral("/apps/app"), plan });
        QVERIFY(desktop.canLaunch(QStringLiteral("app")));
        Reports reports;
        desktop.launch({ QStringLiteral("app"), {} }, reports.completion(clock));
        clock.advance(0.1);
        // A second launch while the first is starting joins it instead of starting a second process.
        desktop.launch({ QStringLiteral("app"), {} }, reports.completion(clock));
        clock.advance(0.3);
        QCOMPARE(reports.times, (QList<double> { 0.3, 0.3 }));
        const LaunchOutcome started = reports.outcomes.first();
        QVERIFY(started.started);
        QCOMPARE(started.appId, QStringLiteral("app"));
        QVERIFY(started.pid);
        QVERIFY(started.windows.isEmpty());
        QCOMPARE(desktop.runningApplications().size(), 1);
        QCOMPARE(desktop.windowsOf(*started.pid).size(), 0);
        clock.advance(0.6);
        const QList<WindowId> windows = desktop.windowsOf(*started.pid);
        QCOMPARE(windows.size(), 1);
        QCOMPARE(desktop.window(windows.first())->title, QStringLiteral("app"));
        QCOMPARE(desktop.window(windows.first())->frame, QRectF(0, 0, 800, 600));

        // Running now: brought forward and reported at the next move of the clock, with its windows.
        desktop.launch(
            { QStringLiteral("app"), { QUrl(QStringLiteral("file:///tmp/a.txt")) } }, reports.completion(clock));
        QCOMPARE(reports.outcomes.size(), 2);
        clock.advance(0);
        QCOMPARE(reports.outcomes.size(), 3);
        QCOMPARE(reports.outcomes.last().pid, started.pid);
        QCOMPARE(reports.outcomes.last().windows, windows);
        QCOMPARE(desktop.runningApplications().size(), 1);

        const QList<SimRequest> opened = desktop.requests(QStringLiteral("openApplication"));
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened.first().application, QStringLiteral("app"));
        const QList<SimRequest> documents = desktop.requests(QStringLiteral("openDocuments"));
        QCOMPARE(documents.size(), 1);
        QCOMPARE(documents.first().documents, QStringList { QStringLiteral("file:///tmp/a.txt") });
    }

    void launchPlanDecidesWhatStarts()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        SimLaunchPlan broken;
        broken.fails = true;
        SimLaunchPlan stuck;
        stuck.neverCompletes = true;
        SimLaunchPlan tray;
        tray.activationPolicy = SimPolicy::accessory;
        tray.windowDelay.reset();
        desktop.installApplication({ QStringLiteral("broken"), QStringLiteral("/apps/broken"), broken });
        desktop.installApplication({ QStringLiteral("stuck"), QStringLiteral("/apps/stuck"), stuck });
        desktop.installApplication({ QStringLiteral("tray"), QStringLiteral("/apps/tray"), tray });
        Reports brokenReports;
        Reports stuckReports;
        Reports trayReports;
        desktop.launch({ QStringLiteral("broken"), {} }, brokenReports.completion(clock));
        desktop.launch({ QStringLiteral("stuck"), {} }, stuckReports.completion(clock));
        desktop.launch({ QStringLiteral("tray"), {} }, trayReports.completion(clock));
        QVERIFY(clock.runUntilIdle(60));
        QCOMPARE(brokenReports.outcomes.size(), 1);
        QVERIFY(!brokenReports.outcomes.first().started);
        QCOMPARE(brokenReports.outcomes.first().pid, std::nullopt);
        QVERIFY(stuckReports.outcomes.isEmpty());
        QCOMPARE(trayReports.outcomes.size(), 1);
        QVERIFY(!desktop.runningApplication(QStringLiteral("tray"))->regular);
        QVERIFY(desktop.runningApplication(QStringLiteral("tray"))->windows.isEmpty());
        QCOMPARE(desktop.runningApplications().size(), 1);
    }

    void launchOfAnUninstalledApplicationReportsFailure()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        QVERIFY(!desktop.canLaunch(QStringLiteral("nowhere")));
        Reports reports;
        desktop.launch({ QStringLiteral("nowhere"), { QUrl(QStringLiteral("file:///a")) } }, reports.completion(clock));
        QVERIFY(reports.outcomes.isEmpty());
        clock.advance(0);
        QCOMPARE(reports.outcomes.size(), 1);
        QVERIFY(!reports.outcomes.first().started);
        QCOMPARE(desktop.requests(QStringLiteral("openDocuments")).first().application, QStringLiteral("nowhere"));
    }

    void launchesShareTheFirstEntryAtALocation()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        SimLaunchPlan slow;
        slow.completionDelay = 2;
        desktop.installApplication({ QStringLiteral("first"), QStringLiteral("/apps/shared"), slow });
        desktop.installApplication({ QStringLiteral("second"), QStringLiteral("/apps/shared"), SimLaunchPlan {} });
        Reports reports;
        desktop.launch({ QStringLiteral("second"), {} }, reports.completion(clock));
        clock.advance(1);
        QVERIFY(reports.outcomes.isEmpty());
        clock.advance(1);
        QCOMPARE(reports.outcomes.first().appId, QStringLiteral("first"));
        QCOMPARE(desktop.requests().first().application, QStringLiteral("first"));
    }

    void launchWithoutCompletionStillStarts()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        desktop.installApplication({ QStringLiteral("app"), QStringLiteral("/apps/app"), SimLaunchPlan {} });
        desktop.launch({ QStringLiteral("app"), {} }, {});
        QVERIFY(clock.runUntilIdle(10));
        QVERIFY(desktop.runningApplication(QStringLiteral("app")));
    }

    void closeEndsApplicationUnlessItRefuses()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        SimApplication stubborn;
        stubborn.appId = QStringLiteral("stubborn");
        stubborn.quitsOnTerminate = false;
        desktop.addRunningApplication(stubborn);
        SimApplication polite;
        polite.appId = QStringLiteral("polite");
        polite.windows = { simWindow(QStringLiteral("w"), QRectF(0, 0, 10, 10)),
            simWindow(QStringLiteral("v"), QRectF(0, 0, 10, 10)), simWindow(QStringLiteral("u"), QRectF()) };
        const qint64 politePid = desktop.addRunningApplication(polite);
        const WindowId window = desktop.windowsOf(politePid).first();
        desktop.activate(window);
        for (const DesktopApplication &application : desktop.snapshot().applications)
            desktop.closeApplication(application);
        QCOMPARE(desktop.runningApplications().size(), 1);
        QCOMPARE(desktop.runningApplications().first().appId, QStringLiteral("stubborn"));
        QCOMPARE(desktop.window(window), std::nullopt);
        QCOMPARE(desktop.activeWindow(), std::nullopt);
        QCOMPARE(desktop.windowsOf(politePid), QList<WindowId>());
        const QList<SimRequest> terminated = desktop.requests(QStringLiteral("terminate"));
        QCOMPARE(terminated.size(), 2);
        QCOMPARE(terminated[1].application, QStringLiteral("polite"));
        QCOMPARE(terminated[1].processIdentifier, politePid);
    }

    void requestLogDumpsAsJsonLines()
    {
        OneWindow f;
        f.desktop.openUrl(QUrl(QStringLiteral("https://example.com")));
        f.clock.advance(1.5);
        WindowPlacement p = placement(QRectF(10, 20, 640, 480));
        p.state.maximizedHorizontally = true;
        p.desktop = 2;
        f.desktop.place(f.window, p);
        f.desktop.activate(f.window);
        const QList<QByteArray> lines = f.desktop.requestLogJsonLines().split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.last().isEmpty());
        const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
        QCOMPARE(first.value(QStringLiteral("action")).toString(), QStringLiteral("openURL"));
        QCOMPARE(first.value(QStringLiteral("url")).toString(), QStringLiteral("https://example.com"));
        QCOMPARE(first.value(QStringLiteral("time")).toDouble(), 0.0);
        const QJsonObject placed = QJsonDocument::fromJson(lines[1]).object();
        QCOMPARE(placed.value(QStringLiteral("action")).toString(), QStringLiteral("place"));
        QCOMPARE(placed.value(QStringLiteral("time")).toDouble(), 1.5);
        QCOMPARE(placed.value(QStringLiteral("window")).toInteger(), qint64(f.window));
        QCOMPARE(placed.value(QStringLiteral("application")).toString(), QStringLiteral("a"));
        QCOMPARE(placed.value(QStringLiteral("pid")).toInteger(), f.pid);
        QCOMPARE(placed.value(QStringLiteral("frame")).toArray(), (QJsonArray { 10, 20, 640, 480 }));
        QCOMPARE(placed.value(QStringLiteral("desktop")).toInt(), 2);
        const QJsonObject state = placed.value(QStringLiteral("state")).toObject();
        QCOMPARE(state.value(QStringLiteral("maximizedHorizontally")).toBool(), true);
        QCOMPARE(state.value(QStringLiteral("maximizedVertically")).toBool(), false);
        QCOMPARE(state.value(QStringLiteral("fullScreen")).toBool(), false);
        QCOMPARE(state.value(QStringLiteral("minimized")).toBool(), false);
        const QJsonObject activated = QJsonDocument::fromJson(lines[2]).object();
        QCOMPARE(activated.value(QStringLiteral("action")).toString(), QStringLiteral("activate"));
        QCOMPARE(activated.value(QStringLiteral("window")).toInteger(), qint64(f.window));
        QVERIFY(!activated.contains(QStringLiteral("frame")));
    }

    void placeWithoutDesktopLeavesItOutOfTheLog()
    {
        OneWindow f;
        f.desktop.place(f.window, placement(QRectF(0, 0, 1, 1)));
        QVERIFY(!f.desktop.requests().first().toJson().contains(QStringLiteral("desktop")));
    }

    void snapshotsAreCounted()
    {
        OneWindow f;
        f.desktop.snapshot();
        f.desktop.snapshot();
        QCOMPARE(f.desktop.snapshotCount(), 2);
        QVERIFY(f.desktop.requests().isEmpty());
    }

    void resetDropsEventsOfTheEarlierDesktop()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        desktop.installApplication({ QStringLiteral("app"), QStringLiteral("/apps/app"), SimLaunchPlan {} });
        QSignalSpy monitorsChanged(&desktop, &DesktopPlatform::monitorsChanged);
        bool called = false;
        desktop.launch({ QStringLiteral("app"), {} }, [&](const LaunchOutcome &) { called = true; });
        desktop.reset();
        QVERIFY(clock.runUntilIdle(10));
        QVERIFY(!called);
        QCOMPARE(desktop.runningApplications().size(), 0);
        QCOMPARE(monitorsChanged.size(), 1);
        desktop.setScreens({ SimScreen { 1, QRectF(0, 0, 800, 600), QStringLiteral("U") } });
        QCOMPARE(monitorsChanged.size(), 2);
        QCOMPARE(desktop.monitors().first().identifier, QStringLiteral("U"));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedDesktop)
#include "tst_simulateddesktop.moc"
