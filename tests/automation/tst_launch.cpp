// Launching a workspace: focus mode, what each entry opens, the pauses, and the placements that follow.
#include "automationfixture.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <limits>

using namespace fixture;

namespace {

EntryData applicationEntry(const QString &identifier, double delay = 0.5)
{
    EntryData entry;
    entry.appBundleIdentifier = identifier;
    entry.delayAfterLaunch = delay;
    entry.frameX = 300;
    entry.frameY = 200;
    entry.width = 640;
    entry.height = 480;
    entry.monitorID = leftUUID;
    return entry;
}

EntryData websiteEntry(const QString &url)
{
    EntryData entry = applicationEntry(QString());
    entry.appBundleIdentifier.reset();
    entry.typeRawValue = QStringLiteral("website");
    entry.websiteURL = url;
    return entry;
}

EntryData pathEntry(const QString &type, const QString &path, std::optional<QString> identifier = std::nullopt)
{
    EntryData entry = applicationEntry(QString());
    entry.appBundleIdentifier = std::move(identifier);
    entry.typeRawValue = type;
    entry.filePath = path;
    return entry;
}

/// Runs a launch to its end and reports the virtual time at which it returned.
struct LaunchRun {
    double finishedAt = -1;
    QCoro::Task<> task;

    LaunchRun(AutomationFixture &f, QList<EntryData> entries, bool restore = true, bool focus = false)
        : task(run(f, std::move(entries), restore, focus))
    {
    }

    QCoro::Task<> run(AutomationFixture &f, QList<EntryData> entries, bool restore, bool focus)
    {
        co_await f.service.launchWorkspace(std::move(entries), restore, focus);
        finishedAt = f.clock.now();
    }
};

/// A desktop that starts applications for us (D-Bus activation): no process
/// of ours to follow, only the application's id.
class ActivatingDesktop : public SimulatedDesktop
{
public:
    using SimulatedDesktop::SimulatedDesktop;
    void launch(const LaunchRequest &request, LaunchCompletion completion) override
    {
        SimulatedDesktop::launch(request, [completion = std::move(completion)](LaunchOutcome outcome) {
            outcome.pid.reset();
            completion(outcome);
        });
    }
};

} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

private slots:
    void focusModeKeepsNamedAndOwnApplications()
    {
        AutomationFixture f;
        f.desktop.setOwnAppId(QStringLiteral("org.example.Workspaces"));
        f.desktop.addRunningApplication(app(QStringLiteral("org.example.Workspaces"), { window() }));
        f.desktop.addRunningApplication(app(safari, { window() }));
        f.desktop.addRunningApplication(app(editor, { window() }));
        f.desktop.addRunningApplication(app(finder, { window() }));
        f.desktop.addRunningApplication(app(QStringLiteral("com.example.Tray"), { window() }, SimPolicy::accessory));
        SimWindow sheet = window();
        sheet.kind = WindowKind::other;
        f.desktop.addRunningApplication(app(QStringLiteral("com.example.Sheets"), { sheet }));
        f.desktop.addRunningApplication(
            app(QStringLiteral("com.example.Thin"), { window("t", QRectF(0, 0, 10, 500)) }));
        f.desktop.addRunningApplication(app(QStringLiteral("com.example.NoWindows")));
        SimApplication unnamed;
        unnamed.windows = { window() };
        f.desktop.addRunningApplication(unnamed);
        f.desktop.addRunningApplication(app(chrome, { window() }));

        // Websites and folders name no application: browsers and the file manager are asked like any other.
        f.service.quitOtherApplications(
            { applicationEntry(editor), websiteEntry("https://a"), pathEntry("folder", "/home/me") });
        QCOMPARE(
            requestedApplications(f.desktop, QStringLiteral("terminate")), (QStringList { safari, finder, chrome }));
    }

    void focusModeNeverClosesThisProcessUnderAnyId()
    {
        AutomationFixture f;
        SimApplication us = app(QStringLiteral("org.example.Unrelated"), { window() });
        us.processIdentifier = QCoreApplication::applicationPid();
        f.desktop.addRunningApplication(us);
        f.desktop.addRunningApplication(app(editor, { window() }));
        LaunchRun launch(f, {}, true, true);
        f.clock.runUntilIdle(60);
        QCOMPARE(requestedApplications(f.desktop, QStringLiteral("terminate")), QStringList { editor });
    }

    void emptyWorkspaceInFocusModeKeepsOnlyThisProgram()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(editor, { window() }));
        f.desktop.addRunningApplication(app(safari, { window() }));
        LaunchRun launch(f, {}, true, true);
        QVERIFY(launch.task.isReady());
        QCOMPARE(requestedApplications(f.desktop, QStringLiteral("terminate")), (QStringList { editor, safari }));
    }

    void applicationWithEmptyIdentifierIsKeptWithoutOwnIdentifier()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(QString(), { window() }));
        f.service.quitOtherApplications({});
        QCOMPARE(f.desktop.requests(QStringLiteral("terminate")).size(), 0);
    }

    void untrustedFocusModeAsksNothing()
    {
        AutomationFixture f;
        f.desktop.setTrusted(false);
        f.desktop.addRunningApplication(app(editor, { window() }));
        f.service.quitOtherApplications({});
        QCOMPARE(f.desktop.requests(QStringLiteral("terminate")).size(), 0);
    }

    void focusModeRunsBeforeFirstOpen()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(safari, { window() }));
        f.desktop.installApplication(installed(editor));
        LaunchRun launch(f, { applicationEntry(editor) }, true, true);
        const QList<SimRequest> requests = f.desktop.requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0].action, QStringLiteral("terminate"));
        QCOMPARE(requests[1].action, QStringLiteral("openApplication"));
    }

    void documentsNotRestoredOpenFallbackApplications()
    {
        AutomationFixture f;
        for (const QString &id : { safari, finder, editor })
            f.desktop.installApplication(installed(id));
        LaunchRun launch(f,
            { websiteEntry("https://a"), pathEntry("folder", "/home/me"), pathEntry("file", "/home/me/a.txt", editor),
                pathEntry("file", "/home/me/b.txt") },
            false);
        f.clock.runUntilIdle(60);
        QCOMPARE(requestedApplications(f.desktop, QStringLiteral("openApplication")),
            (QStringList { safari, finder, editor }));
        QCOMPARE(f.desktop.requests(QStringLiteral("openURL")).size(), 0);
        QCOMPARE(f.desktop.requests(QStringLiteral("openDocuments")).size(), 0);
    }

    void restoredDocumentsOpenTheirLocations()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        LaunchRun launch(f,
            { websiteEntry("https://example.com/x"), pathEntry("folder", "/home/me/Projects"),
                pathEntry("file", "/home/me/a.txt", editor), pathEntry("file", "/home/me/b.txt") });
        f.clock.runUntilIdle(60);
        const QList<SimRequest> urls = f.desktop.requests(QStringLiteral("openURL"));
        QCOMPARE(urls.size(), 3);
        QCOMPARE(urls[0].url, QStringLiteral("https://example.com/x"));
        QCOMPARE(urls[1].url, QStringLiteral("file:///home/me/Projects"));
        QCOMPARE(urls[2].url, QStringLiteral("file:///home/me/b.txt"));
        const QList<SimRequest> documents = f.desktop.requests(QStringLiteral("openDocuments"));
        QCOMPARE(documents.size(), 1);
        QCOMPARE(documents[0].application, editor);
        QCOMPARE(documents[0].documents, QStringList { QStringLiteral("file:///home/me/a.txt") });
    }

    void onlyAbsoluteAddressesReachTheHandler()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        QList<EntryData> entries;
        for (const char *url : { "-h", "--version", "javascript:alert(1)", "example.com/page", "https:no-host",
                 "file://fileserver/share/page.html", "ftp://example.com/a" })
            entries.append(websiteEntry(QString::fromUtf8(url)));
        for (const char *path : { "-rf", "--help", "Projects", "./Projects", "~/Projects", "file:///home/me" }) {
            entries.append(pathEntry("folder", QString::fromUtf8(path)));
            entries.append(pathEntry("file", QString::fromUtf8(path), editor));
            entries.append(pathEntry("file", QString::fromUtf8(path)));
        }
        entries.append(websiteEntry("https://example.com/ok?q=-h"));
        entries.append(websiteEntry("file://localhost/home/me/page.html"));
        entries.append(pathEntry("folder", "/home/me/-rf"));
        entries.append(pathEntry("file", "/home/me/--version", editor));
        entries.append(pathEntry("file", "/home/me/b.txt"));
        LaunchRun launch(f, entries);
        f.clock.runUntilIdle(600);

        QStringList urls;
        for (const SimRequest &request : f.desktop.requests(QStringLiteral("openURL")))
            urls.append(request.url);
        QCOMPARE(urls,
            (QStringList { "https://example.com/ok?q=-h", "file:///home/me/page.html", "file:///home/me/-rf",
                "file:///home/me/b.txt" }));
        const QList<SimRequest> documents = f.desktop.requests(QStringLiteral("openDocuments"));
        QCOMPARE(documents.size(), 1);
        QCOMPARE(documents[0].documents, QStringList { QStringLiteral("file:///home/me/--version") });
        // Skipped entries still pause, as any entry that opens nothing.
        QCOMPARE(launch.finishedAt, 0.5 * double(entries.size()));
    }

    void entriesMissingTheirFieldOpenNothingButStillPause()
    {
        AutomationFixture f;
        EntryData noIdentifier = applicationEntry(editor, 1.0);
        noIdentifier.appBundleIdentifier.reset();
        EntryData noPath = pathEntry("file", QString(), editor);
        noPath.filePath.reset();
        noPath.delayAfterLaunch = 1.0;
        EntryData badURL = websiteEntry("http://exa mple.com");
        badURL.delayAfterLaunch = 1.0;
        EntryData notInstalled = applicationEntry(QStringLiteral("com.example.Missing"), 1.0);
        LaunchRun launch(f, { noIdentifier, noPath, badURL, notInstalled });
        f.clock.runUntilIdle(60);
        QCOMPARE(launch.finishedAt, 4.0);
        QCOMPARE(f.desktop.requestCount(), 0);
    }

    void unknownTypeIsLaunchedAsApplication()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        EntryData entry = applicationEntry(editor);
        entry.typeRawValue = QStringLiteral("Website");
        entry.websiteURL = QStringLiteral("https://ignored");
        LaunchRun launch(f, { entry });
        f.clock.runUntilIdle(60);
        QCOMPARE(requestedApplications(f.desktop, QStringLiteral("openApplication")), QStringList { editor });
        QCOMPARE(f.desktop.requests(QStringLiteral("openURL")).size(), 0);
    }

    void windowAfterTwoSecondsIsPlacedWhenItAppears()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.completionDelay = 0.1;
        plan.windowDelay = 2.05;
        f.desktop.installApplication(installed(editor, plan));
        LaunchRun launch(f, { applicationEntry(editor) });
        f.clock.runUntilIdle(60);
        const QList<SimRequest> writes = f.desktop.requests(QStringLiteral("place"));
        QCOMPARE(writes.size(), 1);
        // The desktop's report of the new window wakes the placement: no wait for the next look.
        QCOMPARE(writes[0].time, 2.05);
        const qint64 pid = f.desktop.processIdentifierOf(editor);
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(300, 200, 640, 480));
    }

    void applicationStartedWithoutAProcessOfOursIsPlacedByItsId()
    {
        VirtualClock clock;
        ActivatingDesktop desktop(clock);
        desktop.setScreens(twoScreens());
        desktop.setMainScreenIndex(0);
        SimLaunchPlan plan;
        plan.windowDelay = 1.0;
        desktop.installApplication(installed(editor, plan));
        AutomationService service(desktop, clock);
        auto launch = service.launchWorkspace({ applicationEntry(editor) }, true, false);
        QVERIFY(clock.runUntilIdle(60));
        const QList<SimRequest> places = desktop.requests(QStringLiteral("place"));
        QCOMPARE(places.size(), 1);
        QCOMPARE(places.first().time, 1.0);
        const std::optional<SimWindow> placed
            = desktop.window(desktop.windowsOf(desktop.processIdentifierOf(editor)).first());
        QCOMPARE(placed->frame, QRectF(300, 200, 640, 480));
    }

    void lateWindowIsPlacedWithinTheBoundAndNotAfter_data()
    {
        QTest::addColumn<double>("bound");
        QTest::addColumn<double>("windowAt");
        QTest::addColumn<bool>("placed");
        // A cold browser or IDE takes many seconds: the default bound waits half a minute.
        QTest::newRow("5 s, default bound") << 0.0 << 5.0 << true;
        QTest::newRow("29.5 s, default bound") << 0.0 << 29.5 << true;
        QTest::newRow("31 s, default bound") << 0.0 << 31.0 << false;
        QTest::newRow("8 s, bound 10 s") << 10.0 << 8.0 << true;
        QTest::newRow("12 s, bound 10 s") << 10.0 << 12.0 << false;
        QTest::newRow("2 s, bound 1 s") << 1.0 << 2.0 << false;
    }

    void lateWindowIsPlacedWithinTheBoundAndNotAfter()
    {
        QFETCH(double, bound);
        QFETCH(double, windowAt);
        QFETCH(bool, placed);
        AutomationFixture f;
        if (bound > 0)
            f.service.setWindowWaitSeconds(bound);
        const double effective = bound > 0 ? bound : AutomationService::defaultWindowWaitSeconds;
        SimLaunchPlan plan;
        plan.completionDelay = 0.1;
        plan.windowDelay = windowAt;
        f.desktop.installApplication(installed(editor, plan));
        QSignalSpy idle(&f.service, &AutomationService::placementsIdle);
        LaunchRun launch(f, { applicationEntry(editor) });
        f.clock.advance(std::min(windowAt, effective) - 0.05);
        QCOMPARE(f.service.pendingPlacements(), 1);
        QVERIFY(f.clock.runUntilIdle(120));
        const QList<SimRequest> writes = f.desktop.requests(QStringLiteral("place"));
        QCOMPARE(writes.size(), placed ? 1 : 0);
        if (placed)
            QCOMPARE(writes.first().time, windowAt);
        QCOMPARE(idle.count(), 1);
        QCOMPARE(f.service.pendingPlacements(), 0);
    }

    void windowWaitRejectsNonsense()
    {
        AutomationFixture f;
        for (double nonsense :
            { 0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() }) {
            f.service.setWindowWaitSeconds(5);
            f.service.setWindowWaitSeconds(nonsense);
            QCOMPARE(f.service.windowWaitSeconds(), AutomationService::defaultWindowWaitSeconds);
        }
        f.service.setWindowWaitSeconds(1e6);
        QCOMPARE(f.service.windowWaitSeconds(), AutomationService::longestWindowWaitSeconds);
    }

    void untrustedPlacementLooksUntilTheBound()
    {
        AutomationFixture f;
        f.desktop.setTrusted(false);
        f.desktop.installApplication(installed(editor));
        LaunchRun launch(f, { applicationEntry(editor) });
        f.clock.advance(29.9);
        QCOMPARE(f.service.pendingPlacements(), 1);
        const int looks = f.desktop.snapshotCount();
        QVERIFY(f.clock.runUntilIdle(60));
        QCOMPARE(f.service.pendingPlacements(), 0);
        // Every 0.2 s for 3 s, then every second: not a tight loop for half a minute.
        QVERIFY(looks >= 40 && looks <= 46);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 0);
    }

    void failedLaunchGetsNoPlacement()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.fails = true;
        f.desktop.installApplication(installed(editor, plan));
        QSignalSpy finished(&f.service, &AutomationService::launchFinished);
        LaunchRun launch(f, { applicationEntry(editor) });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 0);
        QCOMPARE(f.desktop.runningApplication(editor), std::nullopt);
        // Done once the desktop said so, not before and not half a minute later.
        QCOMPARE(finished.count(), 1);
        QCOMPARE(f.service.pendingPlacements(), 0);
        QCOMPARE(f.service.launchProblems().size(), 1);
    }

    void launchCountsUntilTheDesktopReportsOnIt()
    {
        // Desktops that tell only once the window shows (KWin, GNOME) report seconds after the request.
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.completionDelay = 4.0;
        plan.windowDelay = 3.5;
        f.desktop.installApplication(installed(editor, plan));
        QSignalSpy finished(&f.service, &AutomationService::launchFinished);
        LaunchRun launch(f, { applicationEntry(editor, 0.5) });
        f.clock.advance(3.9);
        QCOMPARE(launch.finishedAt, 0.5);
        QVERIFY(f.service.launching());
        QCOMPARE(finished.count(), 0);
        QVERIFY(f.clock.runUntilIdle(60));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 1);
        QVERIFY(f.service.launchProblems().isEmpty());
    }

    void launchThatNeverCompletesStillFinishes()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.neverCompletes = true;
        f.desktop.installApplication(installed(editor, plan));
        QSignalSpy finished(&f.service, &AutomationService::launchFinished);
        LaunchRun launch(f, { applicationEntry(editor, 0.5) });
        QVERIFY(f.clock.runUntilIdle(60));
        QCOMPARE(launch.finishedAt, 0.5);
        QCOMPARE(f.service.pendingPlacements(), 0);
        // Waited for as long as for a window, then told: no success without a word from the desktop.
        QCOMPARE(finished.count(), 1);
        QCOMPARE(f.service.launchProblems(),
            QStringList { QStringLiteral("„com.example.Editor“ zeigte innerhalb von 30 s kein neues Fenster.") });
    }

    void placementsOutliveTheLaunch()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        QSignalSpy idle(&f.service, &AutomationService::placementsIdle);
        LaunchRun launch(f, { applicationEntry(editor, 0.1) });
        f.clock.advance(0.1);
        QCOMPARE(launch.finishedAt, 0.1);
        QCOMPARE(f.service.pendingPlacements(), 1);
        QVERIFY(f.clock.runUntilIdle(60));
        QCOMPARE(idle.count(), 1);
        QCOMPARE(f.service.pendingPlacements(), 0);
    }

    void websitePlacesEveryRegularBrowserAfterPause()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(chrome, { window() }));
        f.desktop.addRunningApplication(app(editor, { window() }));
        f.desktop.addRunningApplication(app(safari, { window(), window() }));
        f.desktop.addRunningApplication(app(QStringLiteral("com.brave.Browser"), { window() }, SimPolicy::accessory));
        LaunchRun launch(f, { websiteEntry("https://example.com") });
        f.clock.runUntilIdle(60);
        const QList<SimRequest> writes = f.desktop.requests(QStringLiteral("place"));
        QCOMPARE(writes.size(), 3);
        QCOMPARE(writes.first().time, 0.8);
        QCOMPARE(writes[0].application, chrome);
        QCOMPARE(writes[1].application, safari);
        QCOMPARE(writes[2].application, safari);
    }

    void folderPlacesFirstFileManager()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(finder, { window() }, SimPolicy::accessory));
        f.desktop.addRunningApplication(app(finder, { window() }));
        LaunchRun launch(f, { pathEntry("folder", "/home/me") });
        f.clock.runUntilIdle(60);
        const QList<SimRequest> writes = f.desktop.requests(QStringLiteral("place"));
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes.first().time, 0.5);
        QCOMPARE(writes.first().processIdentifier, f.desktop.runningApplications().first().pids.first());
    }

    void documentWithoutInstalledApplicationPlacesRunningOne()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(editor, { window() }));
        LaunchRun launch(f, { pathEntry("file", "/home/me/a.txt", editor), pathEntry("file", "/home/me/b.txt") });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openURL")).size(), 2);
        const QList<SimRequest> writes = f.desktop.requests(QStringLiteral("place"));
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes.first().time, 1.0);
    }

    void sameApplicationTwiceGetsTwoWindowsOnTheirOwnFrames()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.windowDelay = 0.0;
        f.desktop.installApplication(installed(editor, plan));
        EntryData first = applicationEntry(editor, 1.0);
        EntryData second = applicationEntry(editor, 1.0);
        second.frameX = 700;
        LaunchRun launch(f, { first, second });
        f.clock.runUntilIdle(60);
        QCOMPARE(requestedApplications(f.desktop, QStringLiteral("openApplication")), QStringList { editor });
        // The first window is taken: the second entry asks for another one.
        QCOMPARE(requestedApplications(f.desktop, QStringLiteral("openWindow")), QStringList { editor });
        QCOMPARE(f.desktop.runningApplications().size(), 1);
        const QList<WindowId> windows = f.desktop.windowsOf(f.desktop.processIdentifierOf(editor));
        QCOMPARE(windows.size(), 2);
        QCOMPARE(f.frameOf(windows[0]).x(), 300.0);
        QCOMPARE(f.frameOf(windows[1]).x(), 700.0);
    }

    void runningApplicationThatShowsNoFurtherWindowIsNotWaitedForLong()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.windowDelay.reset(); // a single-instance application only brings its window forward
        f.desktop.installApplication(installed(editor, plan));
        f.desktop.addRunningApplication(app(editor, { window() }));
        QSignalSpy idle(&f.service, &AutomationService::placementsIdle);
        LaunchRun launch(f, { applicationEntry(editor, 0.1), applicationEntry(editor, 0.1) });
        f.clock.advance(3.5);
        QCOMPARE(f.service.pendingPlacements(), 0);
        QCOMPARE(idle.count(), 1);
        QCOMPARE(f.desktop.requests(QStringLiteral("openWindow")).size(), 1);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 1);
    }

    void openWindowsArePlacedNotOpenedAgain()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        const qint64 pid = f.desktop.addRunningApplication(
            app(editor, { window("a", QRectF(0, 0, 400, 300)), window("b", QRectF(10, 10, 400, 300)) }));
        EntryData second = applicationEntry(editor, 0.5);
        second.frameX = 900;
        LaunchRun launch(f, { applicationEntry(editor, 0.5), second });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openApplication")).size(), 0);
        QCOMPARE(f.desktop.requests(QStringLiteral("openWindow")).size(), 0);
        const QList<WindowId> windows = f.desktop.windowsOf(pid);
        QCOMPARE(f.frameOf(windows[0]), QRectF(300, 200, 640, 480));
        QCOMPARE(f.frameOf(windows[1]), QRectF(900, 200, 640, 480));

        // A second launch of the same workspace takes the same windows again.
        f.desktop.clearRequests();
        LaunchRun again(f, { applicationEntry(editor, 0.5), second });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openWindow")).size(), 0);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 2);
    }

    void openWindowsGoToTheEntryWithTheirTitleBeforeOrder()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        const qint64 pid = f.desktop.addRunningApplication(app(editor,
            { window("notes.txt - Editor", QRectF(0, 0, 400, 300)),
                window("todo.txt - Editor", QRectF(10, 10, 400, 300)) }));
        EntryData todo = applicationEntry(editor, 0.5);
        todo.windowTitle = QStringLiteral("todo.txt - Editor");
        todo.isMaximized = true;
        todo.virtualDesktop = 1;
        EntryData notes = applicationEntry(editor, 0.5);
        notes.windowTitle = QStringLiteral("notes.txt - Editor");
        notes.frameX = 900;
        notes.virtualDesktop = 3;
        LaunchRun launch(f, { todo, notes });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openWindow")).size(), 0);
        const QList<WindowId> windows = f.desktop.windowsOf(pid);
        // Each window its own entry's frame, state and desktop, although the entries come in the other order.
        const SimWindow notesWindow = *f.desktop.window(windows[0]);
        const SimWindow todoWindow = *f.desktop.window(windows[1]);
        QCOMPARE(notesWindow.frame, QRectF(900, 200, 640, 480));
        QVERIFY(!notesWindow.state.isMaximized());
        QCOMPARE(notesWindow.desktop, std::optional<int>(3));
        QVERIFY(todoWindow.state.isMaximized());
        QCOMPARE(todoWindow.desktop, std::optional<int>(1));
    }

    void changedTitlesPairByTheirLongestCommonPart()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        const qint64 pid = f.desktop.addRunningApplication(app(editor,
            { window("Budget 2026 (edited) - Writer", QRectF(0, 0, 400, 300)),
                window("Report draft (edited) - Writer", QRectF(10, 10, 400, 300)) }));
        EntryData report = applicationEntry(editor, 0.5);
        report.windowTitle = QStringLiteral("Report draft - Writer");
        EntryData budget = applicationEntry(editor, 0.5);
        budget.windowTitle = QStringLiteral("Budget 2026 - Writer");
        budget.frameX = 900;
        LaunchRun launch(f, { report, budget });
        f.clock.runUntilIdle(60);
        const QList<WindowId> windows = f.desktop.windowsOf(pid);
        QCOMPARE(f.frameOf(windows[0]).x(), 900.0);
        QCOMPARE(f.frameOf(windows[1]).x(), 300.0);
    }

    void entriesWithoutTitleTakeTheWindowsLeftInOrder()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        const qint64 pid = f.desktop.addRunningApplication(app(editor,
            { window("one", QRectF(0, 0, 400, 300)), window("two", QRectF(10, 10, 400, 300)),
                window("three", QRectF(20, 20, 400, 300)) }));
        // The untitled entry comes first, yet the titled one keeps its window.
        EntryData untitled = applicationEntry(editor, 0.5);
        untitled.frameX = 100;
        EntryData two = applicationEntry(editor, 0.5);
        two.windowTitle = QStringLiteral("two");
        two.frameX = 500;
        EntryData alsoUntitled = applicationEntry(editor, 0.5);
        alsoUntitled.frameX = 900;
        LaunchRun launch(f, { untitled, two, alsoUntitled });
        f.clock.runUntilIdle(60);
        const QList<WindowId> windows = f.desktop.windowsOf(pid);
        QCOMPARE(f.frameOf(windows[0]).x(), 100.0);
        QCOMPARE(f.frameOf(windows[1]).x(), 500.0);
        QCOMPARE(f.frameOf(windows[2]).x(), 900.0);
    }

    void applicationOpeningSeveralWindowsGivesEachEntryItsOwn()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.windowDelay = 0.3;
        // The application restores its own session: two windows at once, in an order of its own.
        plan.windows = { window("beta"), window("alpha") };
        f.desktop.installApplication(installed(editor, plan));
        EntryData alpha = applicationEntry(editor, 1.0);
        alpha.windowTitle = QStringLiteral("alpha");
        EntryData beta = applicationEntry(editor, 1.0);
        beta.windowTitle = QStringLiteral("beta");
        beta.frameX = 900;
        LaunchRun launch(f, { alpha, beta });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openWindow")).size(), 0);
        const QList<WindowId> windows = f.desktop.windowsOf(f.desktop.processIdentifierOf(editor));
        QCOMPARE(windows.size(), 2);
        QCOMPARE(f.frameOf(windows[0]).x(), 900.0);
        QCOMPARE(f.frameOf(windows[1]).x(), 300.0);
    }

    void browserWindowComesBackWithItsTabsInItsBrowser()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.windowDelay = 2.0;
        f.desktop.installApplication(installed(chrome, plan));
        // Already running with a window of another workspace, which stays where it is.
        const qint64 pid = f.desktop.addRunningApplication(app(chrome, { window("other", QRectF(5, 5, 500, 400)) }));
        EntryData entry = websiteEntry("https://a.example/1");
        entry.appBundleIdentifier = chrome;
        entry.additionalTabURLs = { "https://a.example/2", "javascript:alert(1)", "https://a.example/3" };
        LaunchRun launch(f, { entry });
        f.clock.runUntilIdle(60);
        const QList<SimRequest> window = f.desktop.requests(QStringLiteral("openWindow"));
        QCOMPARE(window.size(), 1);
        QCOMPARE(window.first().application, chrome);
        QCOMPARE(window.first().documents, QStringList { "https://a.example/1" });
        // The tabs follow once the new window is placed and active; what is no web address stays out.
        const QList<SimRequest> tabs = f.desktop.requests(QStringLiteral("openTabs"));
        QCOMPARE(tabs.size(), 1);
        QCOMPARE(tabs.first().documents, (QStringList { "https://a.example/2", "https://a.example/3" }));
        const QList<SimRequest> places = f.desktop.requests(QStringLiteral("place"));
        QCOMPARE(places.size(), 1);
        QVERIFY(places.first().time <= tabs.first().time);
        QCOMPARE(f.desktop.requests(QStringLiteral("openURL")).size(), 0);
        const QList<WindowId> windows = f.desktop.windowsOf(pid);
        QCOMPARE(windows.size(), 2);
        QCOMPARE(f.frameOf(windows[0]), QRectF(5, 5, 500, 400));
        QCOMPARE(f.frameOf(windows[1]), QRectF(300, 200, 640, 480));
    }

    void browserWindowOpensWithItsFirstTabThatCanBeHandedOver()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(chrome));
        EntryData entry = websiteEntry("about:welcome");
        entry.appBundleIdentifier = chrome;
        entry.additionalTabURLs = { "chrome://settings", "https://a.example/", "https://b.example/" };
        LaunchRun launch(f, { entry });
        f.clock.runUntilIdle(60);
        const QList<SimRequest> window = f.desktop.requests(QStringLiteral("openWindow"));
        QCOMPARE(window.size(), 1);
        QCOMPARE(window.first().documents, QStringList { "https://a.example/" });
        QCOMPARE(
            f.desktop.requests(QStringLiteral("openTabs")).first().documents, QStringList { "https://b.example/" });

        // Nothing that can be handed over: nothing opens.
        f.desktop.clearRequests();
        entry.additionalTabURLs = { "chrome://settings" };
        LaunchRun nothing(f, { entry });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests().size(), 0);
    }

    void browserWindowsOpenOneAfterTheOtherWithTheirTabs()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.windowDelay = 1.5;
        f.desktop.installApplication(installed(chrome, plan));
        f.desktop.addRunningApplication(app(chrome));
        EntryData first = websiteEntry("https://a.example/1");
        first.appBundleIdentifier = chrome;
        first.additionalTabURLs = { "https://a.example/2" };
        first.delayAfterLaunch = 0.1;
        EntryData second = websiteEntry("https://b.example/1");
        second.appBundleIdentifier = chrome;
        second.additionalTabURLs = { "https://b.example/2" };
        second.frameX = 900;
        LaunchRun launch(f, { first, second });
        f.clock.runUntilIdle(60);
        QStringList order;
        for (const SimRequest &request : f.desktop.requests()) {
            if (request.action == QLatin1String("openWindow") || request.action == QLatin1String("openTabs"))
                order.append(request.action + QLatin1Char(' ') + request.documents.join(QLatin1Char(' ')));
        }
        // The second window waits until the first has its tabs: they go to the window opened last.
        QCOMPARE(order,
            (QStringList { "openWindow https://a.example/1", "openTabs https://a.example/2",
                "openWindow https://b.example/1", "openTabs https://b.example/2" }));
        const QList<WindowId> windows = f.desktop.windowsOf(f.desktop.processIdentifierOf(chrome));
        QCOMPARE(windows.size(), 2);
        QCOMPARE(f.frameOf(windows[0]).x(), 300.0);
        QCOMPARE(f.frameOf(windows[1]).x(), 900.0);
        QCOMPARE(f.service.pendingPlacements(), 0);
    }

    void browserWindowAlreadyOpenIsPlacedAndGetsOnlyTheTabsItLacks()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(chrome));
        const qint64 pid = f.desktop.addRunningApplication(app(chrome,
            { window("Other - Chromium", QRectF(0, 0, 500, 400)), window("Bee - Chromium", QRectF(0, 0, 500, 400)) }));
        f.desktop.setBrowserWindows(chrome,
            { BrowserWindowTabs { { "https://other.example/" }, "Other" },
                BrowserWindowTabs { { "https://a.example/", "https://b.example/" }, "Bee" } });
        EntryData entry = websiteEntry("https://a.example/");
        entry.appBundleIdentifier = chrome;
        entry.additionalTabURLs = { "https://b.example/", "https://c.example/" };
        LaunchRun launch(f, { entry });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openWindow")).size(), 0);
        const QList<SimRequest> tabs = f.desktop.requests(QStringLiteral("openTabs"));
        QCOMPARE(tabs.size(), 1);
        QCOMPARE(tabs.first().documents, QStringList { "https://c.example/" });
        const QList<WindowId> windows = f.desktop.windowsOf(pid);
        QCOMPARE(f.frameOf(windows[0]), QRectF(0, 0, 500, 400));
        QCOMPARE(f.frameOf(windows[1]), QRectF(300, 200, 640, 480));
    }

    void websiteWithoutItsBrowserOpensEveryTabWithTheDefault()
    {
        AutomationFixture f;
        EntryData entry = websiteEntry("https://a.example/1");
        entry.appBundleIdentifier = QStringLiteral("org.example.GoneBrowser");
        entry.additionalTabURLs = { "https://a.example/2" };
        LaunchRun launch(f, { entry });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openURL")).size(), 2);
        QCOMPARE(f.desktop.requests(QStringLiteral("openWindow")).size(), 0);
    }

    void folderGoesBackToItsFileManager()
    {
        AutomationFixture f;
        const QString thunar = QStringLiteral("thunar");
        f.desktop.installApplication(installed(thunar));
        LaunchRun launch(f, { pathEntry("folder", "/home/me/Projects", thunar) });
        f.clock.runUntilIdle(60);
        const QList<SimRequest> opened = f.desktop.requests(QStringLiteral("openDocuments"));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().application, thunar);
        QCOMPARE(opened.first().documents, QStringList { "file:///home/me/Projects" });
        QCOMPARE(f.desktop.requests(QStringLiteral("openURL")).size(), 0);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 1);
    }

    void documentAlreadyOpenIsPlacedNotOpenedAgain()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        const qint64 pid = f.desktop.addRunningApplication(app(
            editor, { documentWindow("file:///home/me/b.txt", "b"), documentWindow("file:///home/me/a.txt", "a") }));
        LaunchRun launch(f, { pathEntry("file", "/home/me/a.txt", editor) });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openDocuments")).size(), 0);
        const QList<SimRequest> places = f.desktop.requests(QStringLiteral("place"));
        QCOMPARE(places.size(), 1);
        QCOMPARE(places.first().window, f.desktop.windowsOf(pid)[1]);

        // Desktops give a window's document fully encoded ("my%20notes"); the entry holds the plain path.
        f.desktop.clearRequests();
        const QString spaced = QStringLiteral("/home/me/my notes/c's.txt");
        const qint64 other = f.desktop.addRunningApplication(
            app(safari, { documentWindow(QUrl::fromLocalFile(spaced).toString(QUrl::FullyEncoded), "c") }));
        f.desktop.installApplication(installed(safari));
        LaunchRun again(f, { pathEntry("file", spaced, safari) });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("openDocuments")).size(), 0);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 1);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).first().window, f.desktop.windowsOf(other).first());
    }

    void newWindowThatDoesNotStayAsPlacedIsPlacedOnceMore()
    {
        AutomationFixture f;
        SimLaunchPlan plan;
        plan.windowDelay = 0.5;
        f.desktop.installApplication(installed(editor, plan));
        LaunchRun launch(f, { applicationEntry(editor) });
        // The application maximises its window itself after it showed, as it remembered from last time.
        f.clock.schedule(1.0, [&f] {
            const WindowId window = f.desktop.windowsOf(f.desktop.processIdentifierOf(editor)).first();
            SimWindow changed = *f.desktop.window(window);
            changed.state.maximizedHorizontally = changed.state.maximizedVertically = true;
            changed.frame = QRectF(0, 0, 1920, 1080);
            f.desktop.setWindow(window, changed);
        });
        f.clock.runUntilIdle(60);
        const QList<SimRequest> places = f.desktop.requests(QStringLiteral("place"));
        QCOMPARE(places.size(), 2);
        QCOMPARE(places[0].time, 0.5);
        QCOMPARE(places[1].time, 0.5 + AutomationService::placementSettleSeconds);
        const WindowId window = f.desktop.windowsOf(f.desktop.processIdentifierOf(editor)).first();
        QCOMPARE(f.frameOf(window), QRectF(300, 200, 640, 480));
        QVERIFY(!f.desktop.window(window)->state.isMaximized());

        // A window that stays as placed is left alone.
        f.desktop.clearRequests();
        f.desktop.installApplication(installed(safari, plan));
        LaunchRun calm(f, { applicationEntry(safari) });
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 1);
    }

    void launchSaysWhileItRunsAndWhatItCouldNotDo()
    {
        AutomationFixture f;
        f.service.setWindowWaitSeconds(5);
        SimLaunchPlan never;
        never.windowDelay.reset();
        f.desktop.installApplication(installed(editor, never));
        SimLaunchPlan broken;
        broken.fails = true;
        f.desktop.installApplication(installed(safari, broken));
        f.desktop.installApplication(installed(chrome));
        QSignalSpy finished(&f.service, &AutomationService::launchFinished);
        QSignalSpy launching(&f.service, &AutomationService::launchingChanged);
        LaunchRun launch(f,
            { applicationEntry(QStringLiteral("org.example.Gone"), 0.1), applicationEntry(editor, 0.1),
                applicationEntry(safari, 0.1), applicationEntry(chrome, 0.1) });
        QVERIFY(f.service.launching());
        f.clock.advance(1.0);
        // The launch itself is over; it still waits for the editor's window.
        QVERIFY(f.service.launching());
        QCOMPARE(finished.count(), 0);
        QVERIFY(f.clock.runUntilIdle(60));
        QVERIFY(!f.service.launching());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(launching.count(), 2);
        QCOMPARE(f.service.launchProblems(),
            (QStringList { "„org.example.Gone“ ist nicht installiert.", "„com.apple.Safari“ ließ sich nicht starten.",
                "„com.example.Editor“ zeigte innerhalb von 5 s kein neues Fenster." }));

        // The next launch starts without the old problems.
        LaunchRun again(f, { applicationEntry(chrome, 0.1) });
        QVERIFY(f.service.launchProblems().isEmpty());
        QVERIFY(f.clock.runUntilIdle(60));
        QVERIFY(f.service.launchProblems().isEmpty());
        QCOMPARE(finished.count(), 2);
    }

    void delaysOfZeroNegativeNaNAndInfinityDoNotPause()
    {
        AutomationFixture f;
        QList<EntryData> entries;
        for (double delay :
            { 0.0, -3.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300 }) {
            EntryData entry = applicationEntry(QStringLiteral("com.example.Missing"), delay);
            entries.append(entry);
        }
        LaunchRun launch(f, entries);
        QVERIFY(launch.task.isReady());
        QCOMPARE(launch.finishedAt, 0.0);
        QCOMPARE(f.clock.pendingEvents(), 0);
    }

    void tenEntriesTakeTheSumOfTheirDelays()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        f.desktop.installApplication(installed(safari));
        QList<EntryData> entries;
        double sum = 0;
        for (int i = 0; i < 10; ++i) {
            const double delay = 0.1 * (i + 1) + (i % 3 == 0 ? 0.05 : 0.0);
            entries.append(applicationEntry(i % 2 ? editor : safari, delay));
            sum += delay;
        }
        LaunchRun launch(f, entries);
        QVERIFY(f.clock.runUntilIdle(3600));
        QVERIFY(launch.task.isReady());
        QCOMPARE(launch.finishedAt, std::round(sum * 1e9) / 1e9);
        // Every entry asks for its application or, once that shows windows, for one more window of it.
        QCOMPARE(f.desktop.requests(QStringLiteral("openApplication")).size()
                + f.desktop.requests(QStringLiteral("openWindow")).size(),
            10);
        QVERIFY(f.desktop.requests(QStringLiteral("openWindow")).size() >= 6);
    }

    void serviceDestroyedWhilePlacementsWait()
    {
        VirtualClock clock;
        SimulatedDesktop desktop(clock);
        desktop.setScreens(twoScreens());
        desktop.setMainScreenIndex(0);
        desktop.installApplication(installed(editor));
        desktop.addRunningApplication(app(safari, { window() }));
        auto service = std::make_unique<AutomationService>(desktop, clock);
        auto launch
            = service->launchWorkspace({ applicationEntry(editor, 0.2), websiteEntry("https://a") }, true, false);
        clock.advance(0.15);
        service.reset();
        QVERIFY(clock.runUntilIdle(60));
        QVERIFY(launch.isReady());
        QCOMPARE(desktop.requests(QStringLiteral("place")).size(), 0);
        QCOMPARE(desktop.requests(QStringLiteral("openURL")).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
