// The capture of the current desktop: which windows become which entries, with their frames and monitors.
#include "automationfixture.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <QTest>
#include <QUrl>

using namespace fixture;

namespace {

QStringList kinds(const QList<EntryData> &entries)
{
    QStringList list;
    for (const EntryData &entry : entries)
        list.append(entry.typeRawValue);
    return list;
}

/// The capture leaves out programs that cannot be started again, so every
/// application these tests run is installed unless a test says otherwise.
struct CaptureFixture : AutomationFixture {
    CaptureFixture()
    {
        for (const QString &id : { editor, xcode, finder, safari, chrome, QStringLiteral("org.CorvaLint.Helper"),
                 QStringLiteral("org.example.Unrelated"), QStringLiteral("org.example.Workspaces"),
                 QStringLiteral("org.example.workspaces"), QStringLiteral("com.example.MenuTool"),
                 QStringLiteral("com.example.Daemon"), QStringLiteral("com.example.Locked"),
                 QStringLiteral("org.gnome.Nautilus"), QStringLiteral("a.first"), QStringLiteral("b.second") })
            desktop.installApplication(installed(id));
    }
};

} // namespace

class TestCapture : public QObject
{
    Q_OBJECT

private slots:
    void browserWindowsTakeUrlsOneByOne()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(safari, { window(), window() }));
        f.desktop.setScriptResult(safari, listResult({ "https://a", "https://b", "https://c" }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].websiteURL, QStringLiteral("https://a"));
        QCOMPARE(entries[1].websiteURL, QStringLiteral("https://b"));
        for (const EntryData &entry : entries) {
            QCOMPARE(entry.typeRawValue, QStringLiteral("website"));
            QCOMPARE(entry.appBundleIdentifier, std::nullopt);
            QCOMPARE(entry.filePath, std::nullopt);
        }
    }

    void browserWithEmptyListGivesApplicationEntries()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(safari, { window(), window(), window() }));
        f.desktop.setScriptResult(safari, listResult({}));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(kinds(entries), QStringList(3, QStringLiteral("application")));
        for (const EntryData &entry : entries)
            QCOMPARE(entry.appBundleIdentifier, safari);
    }

    void eachBrowserHasItsOwnList()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(chrome, { window() }));
        f.desktop.addRunningApplication(app(safari, { window() }));
        f.desktop.setScriptResult(safari, listResult({ "https://s" }));
        f.desktop.setScriptResult(chrome, ScriptResult { false, QStringLiteral("https://c") });
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].websiteURL, QStringLiteral("https://c"));
        QCOMPARE(entries[1].websiteURL, QStringLiteral("https://s"));
    }

    void browserDocumentIsNotRead()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(safari, { documentWindow("file:///tmp/page.html") }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].typeRawValue, QStringLiteral("application"));
        QCOMPARE(entries[0].filePath, std::nullopt);
    }

    void fileManagerExhaustedListDropsWindow()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(finder, { window(), window() }));
        f.desktop.setScriptResult(finder, listResult({ "/home/me/Projects" }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].typeRawValue, QStringLiteral("folder"));
        QCOMPARE(entries[0].filePath, QStringLiteral("/home/me/Projects"));
        QCOMPARE(entries[0].appBundleIdentifier, std::nullopt);
    }

    void fileManagerDocumentGoesThroughDocumentRule()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(finder, { documentWindow("file:///docs/report.pdf"), window() }));
        f.desktop.setScriptResult(finder, listResult({ "/home/me/Folder" }));
        f.desktop.setFile(QStringLiteral("/docs/report.pdf"), false);
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].typeRawValue, QStringLiteral("file"));
        QCOMPARE(entries[0].filePath, QStringLiteral("/docs/report.pdf"));
        QCOMPARE(entries[0].appBundleIdentifier, finder);
        // The list was not consumed by the first window.
        QCOMPARE(entries[1].typeRawValue, QStringLiteral("folder"));
        QCOMPARE(entries[1].filePath, QStringLiteral("/home/me/Folder"));
    }

    void ideWindowsTakeProjectPaths()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(xcode, { window(), window(), window() }));
        f.desktop.setScriptResult(xcode, listResult({ "/p/App.xcodeproj", "/p/Corvalint/Tool.xcodeproj" }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].typeRawValue, QStringLiteral("file"));
        QCOMPARE(entries[0].filePath, QStringLiteral("/p/App.xcodeproj"));
        QCOMPARE(entries[0].appBundleIdentifier, xcode);
        // The second window's project carries the marker and is dropped; the third finds the list exhausted.
        QCOMPARE(entries[1].typeRawValue, QStringLiteral("application"));
        QCOMPARE(entries[1].appBundleIdentifier, xcode);
        QCOMPARE(entries[1].filePath, std::nullopt);
        QVERIFY(f.desktop.requests(QStringLiteral("runScript")).size() == 1);
    }

    void ownMarkerInIdentifierSkipsApplication()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(QStringLiteral("org.CorvaLint.Helper"), { window() }));
        f.desktop.addRunningApplication(app(QStringLiteral("corvalint"), { window() }));
        f.desktop.addRunningApplication(app(editor, { window() }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].appBundleIdentifier, editor);
    }

    void ownMarkerInDocumentOrFolderDropsWindow()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(editor,
            { documentWindow("file:///home/me/CORVALINT/notes.txt"), documentWindow("file:///home/me/a.txt") }));
        f.desktop.addRunningApplication(app(finder, { window(), window() }));
        f.desktop.setScriptResult(finder, listResult({ "/home/me/corValint", "/home/me/Music" }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].filePath, QStringLiteral("/home/me/a.txt"));
        QCOMPARE(entries[1].filePath, QStringLiteral("/home/me/Music"));
    }

    void windowsOfThisProcessAreSkippedUnderAnyId()
    {
        CaptureFixture f;
        SimApplication us = app(QStringLiteral("org.example.Unrelated"), { window() });
        us.processIdentifier = QCoreApplication::applicationPid();
        f.desktop.addRunningApplication(us);
        f.desktop.addRunningApplication(app(editor, { window() }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().appBundleIdentifier, editor);
    }

    void ownIdentifierIsSkipped()
    {
        CaptureFixture f;
        f.desktop.setOwnAppId(QStringLiteral("org.example.Workspaces"));
        f.desktop.addRunningApplication(app(QStringLiteral("org.example.Workspaces"), { window() }));
        f.desktop.addRunningApplication(app(QStringLiteral("org.example.workspaces"), { window() }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].appBundleIdentifier, QStringLiteral("org.example.workspaces"));
    }

    void accessoryAndUnnamedApplicationsAreSkipped()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(
            app(QStringLiteral("com.example.MenuTool"), { window() }, SimPolicy::accessory));
        f.desktop.addRunningApplication(app(QStringLiteral("com.example.Daemon"), { window() }, SimPolicy::prohibited));
        SimApplication unnamed;
        unnamed.windows = { window() };
        f.desktop.addRunningApplication(unnamed);
        QCOMPARE(f.service.captureCurrentDesktop().size(), 0);
    }

    void untitledWindowsAreKeptOnlyForFileManager()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(editor, { window(QString()) }));
        f.desktop.addRunningApplication(app(finder, { window(QString()) }));
        f.desktop.setScriptResult(finder, listResult({ "/home/me" }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].filePath, QStringLiteral("/home/me"));
    }

    void nonFileDocumentFallsThroughToApplication()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(
            app(editor, { documentWindow("https://example.com/a"), documentWindow("not a url") }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(kinds(entries), QStringList(2, QStringLiteral("application")));
        QCOMPARE(entries[0].appBundleIdentifier, editor);
        QCOMPARE(entries[0].filePath, std::nullopt);
    }

    void existingDirectoryIsFolderMissingPathIsFile()
    {
        CaptureFixture f;
        f.desktop.setFile(QStringLiteral("/home/me/Pkg.bundle"), true);
        f.desktop.addRunningApplication(
            app(editor, { documentWindow("file:///home/me/Pkg.bundle"), documentWindow("file:///gone/x%20y.txt") }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(kinds(entries), (QStringList { QStringLiteral("folder"), QStringLiteral("file") }));
        QCOMPARE(entries[0].appBundleIdentifier, editor);
        QCOMPARE(entries[1].filePath, QStringLiteral("/gone/x y.txt"));
    }

    void fileUrlNamingThisMachineGivesThePlainPath()
    {
        CaptureFixture f;
        f.desktop.setFile(QStringLiteral("/home/me/Projects"), true);
        f.desktop.setFile(QStringLiteral("/home/me/notes.txt"), false);
        QUrl ownHost(QStringLiteral("file:///home/me/notes.txt"));
        ownHost.setHost(QSysInfo::machineHostName());
        f.desktop.addRunningApplication(app(editor,
            { documentWindow("file://localhost/home/me/Projects"), documentWindow(ownHost.toString()),
                documentWindow("file://fileserver/home/me/Projects") }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        // The existing folder is a folder, not a "file" at //localhost/...; another host's path is not ours.
        QCOMPARE(kinds(entries), (QStringList { "folder", "file", "application" }));
        QCOMPARE(entries[0].filePath, QStringLiteral("/home/me/Projects"));
        QCOMPARE(entries[1].filePath, QStringLiteral("/home/me/notes.txt"));
        QCOMPARE(entries[2].filePath, std::nullopt);
        QCOMPARE(entries[2].appBundleIdentifier, editor);
    }

    void frameMonitorAndScreenGeometryAreRecorded()
    {
        CaptureFixture f;
        SimWindow full = window(QStringLiteral("Full"), QRectF(1920, 0, 1920, 1080));
        full.state.fullScreen = true;
        f.desktop.addRunningApplication(
            app(editor, { window(QStringLiteral("Straddle"), QRectF(1800, 10, 400, 300)), full }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 2);
        const EntryData &straddle = entries[0];
        QCOMPARE(straddle.monitorID, rightUUID);
        QCOMPARE(straddle.frameX, 1800.0);
        QCOMPARE(straddle.frameY, 10.0);
        QCOMPARE(straddle.width, 400.0);
        QCOMPARE(straddle.height, 300.0);
        QCOMPARE(straddle.originalScreenX, 1920.0);
        QCOMPARE(straddle.originalScreenY, 0.0);
        QCOMPARE(straddle.originalScreenWidth, 1920.0);
        QCOMPARE(straddle.originalScreenHeight, 1080.0);
        QCOMPARE(straddle.isFullscreen, false);
        QCOMPARE(straddle.delayAfterLaunch, 0.5);
        QVERIFY(entries[1].isFullscreen);
        QVERIFY(straddle.id != entries[1].id);
    }

    void browserWindowsKeepTheirOwnTabsAndBrowser()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(
            app(chrome, { window("Docs - Chromium"), window("Mail - Chromium"), window("Fresh - Chromium") }));
        // The session lists the windows in another order than the desktop; the one opened a moment ago is
        // not in it yet.
        f.desktop.setBrowserWindows(chrome,
            { BrowserWindowTabs { { "https://mail.example/", "https://cal.example/" }, "Mail" },
                BrowserWindowTabs {
                    { "https://a.example/", "https://docs.example/", "https://b.example/" }, "Docs" } });
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(kinds(entries), (QStringList { "website", "website", "application" }));
        QCOMPARE(entries[0].websiteURL, QStringLiteral("https://a.example/"));
        QCOMPARE(entries[0].additionalTabURLs, (QStringList { "https://docs.example/", "https://b.example/" }));
        QCOMPARE(entries[0].appBundleIdentifier, chrome);
        QCOMPARE(entries[1].websiteURL, QStringLiteral("https://mail.example/"));
        QCOMPARE(entries[1].additionalTabURLs, QStringList { "https://cal.example/" });
        QCOMPARE(entries[2].appBundleIdentifier, chrome);
        QCOMPARE(entries[2].websiteURL, std::nullopt);
    }

    void browserWindowsWithoutTitlesPairInOrder()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(chrome, { window("One"), window("Two") }));
        f.desktop.setBrowserWindows(chrome,
            { BrowserWindowTabs { { "https://1.example/" }, {} }, BrowserWindowTabs { { "https://2.example/" }, {} },
                BrowserWindowTabs { { "https://3.example/" }, {} } });
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].websiteURL, QStringLiteral("https://1.example/"));
        QCOMPARE(entries[1].websiteURL, QStringLiteral("https://2.example/"));
        QVERIFY(entries[1].additionalTabURLs.isEmpty());
    }

    void programsThatCannotBeStartedAgainAreLeftOut()
    {
        CaptureFixture f;
        // A window manager's start-up message: a window, a class, no desktop entry.
        f.desktop.addRunningApplication(app(QStringLiteral("Xmessage"), { window(QStringLiteral("Welcome")) }));
        f.desktop.addRunningApplication(app(editor, { window(), documentWindow("file:///home/me/notes.txt") }));
        SimApplication viewer = app(QStringLiteral("org.example.Viewer"), { documentWindow("file:///home/me/a.pdf") });
        f.desktop.addRunningApplication(viewer);
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        // A document still opens with its default application, so it stays.
        QCOMPARE(kinds(entries), (QStringList { "application", "file", "file" }));
        QCOMPARE(entries[2].filePath, QStringLiteral("/home/me/a.pdf"));
    }

    void maximisedStateIsRecordedUnlessFullScreen()
    {
        CaptureFixture f;
        SimWindow wide = window(QStringLiteral("Wide"), QRectF(0, 0, 1920, 1080));
        wide.state.maximizedHorizontally = true;
        SimWindow both = window(QStringLiteral("Both"), QRectF(1920, 0, 1920, 1080));
        both.state.maximizedHorizontally = both.state.maximizedVertically = true;
        SimWindow full = both;
        full.title = QStringLiteral("Full");
        full.state.fullScreen = true;
        f.desktop.addRunningApplication(app(editor, { wide, both, full }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 3);
        // Maximised one way only is a size the frame already holds.
        QCOMPARE(entries[0].isMaximized, false);
        QCOMPARE(entries[1].isMaximized, true);
        QCOMPARE(entries[1].monitorID, rightUUID);
        QCOMPARE(entries[2].isMaximized, false);
        QCOMPARE(entries[2].isFullscreen, true);
    }

    void virtualDesktopIsRecordedAndPlacedBack()
    {
        CaptureFixture f;
        SimWindow second = window(QStringLiteral("Second"), QRectF(10, 10, 400, 300));
        second.desktop = 2;
        SimWindow sticky = window(QStringLiteral("Sticky"), QRectF(10, 10, 400, 300));
        sticky.desktop = allDesktops;
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { second, sticky, window() }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0].virtualDesktop, 2);
        QCOMPARE(entries[1].virtualDesktop, allDesktops);
        QCOMPARE(entries[2].virtualDesktop, std::nullopt);

        f.service.placeWindows(pid, entries[0]);
        const SimRequest place = f.desktop.requests(QStringLiteral("place")).last();
        QVERIFY(place.placement);
        QCOMPARE(place.placement->desktop, 2);
        f.service.placeWindows(pid, entries[2]);
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).last().placement->desktop, std::nullopt);
    }

    void noScreensLeavesMonitorFieldsEmpty()
    {
        CaptureFixture f;
        f.desktop.setScreens({});
        f.desktop.addRunningApplication(app(editor, { window() }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].monitorID, std::nullopt);
        QCOMPARE(entries[0].originalScreenX, std::nullopt);
        QCOMPARE(entries[0].originalScreenHeight, std::nullopt);
    }

    void screenWithoutUUIDGivesNoMonitor()
    {
        CaptureFixture f;
        f.desktop.setScreens({ SimScreen { 1, QRectF(0, 0, 1920, 1080), std::nullopt } });
        f.desktop.addRunningApplication(app(editor, { window() }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(entries[0].monitorID, std::nullopt);
        QCOMPARE(entries[0].originalScreenWidth, std::nullopt);
    }

    void untrustedCaptureIsEmptyButScriptsRun()
    {
        CaptureFixture f;
        f.desktop.setTrusted(false);
        f.desktop.addRunningApplication(app(safari, { window() }));
        QCOMPARE(f.service.captureCurrentDesktop().size(), 0);
        QCOMPARE(requestedApplications(f.desktop, QStringLiteral("runScript")), QStringList { safari });
    }

    void scriptOfStoppedApplicationIsNotRun()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(editor, { window() }));
        f.service.captureCurrentDesktop();
        QCOMPARE(f.desktop.requests(QStringLiteral("runScript")).size(), 0);
    }

    void windowlessOrUnreadableApplicationsGiveNothing()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(editor));
        SimApplication unreadable = app(QStringLiteral("com.example.Locked"), { window() });
        unreadable.windowListMissing = true;
        f.desktop.addRunningApplication(unreadable);
        QCOMPARE(f.service.captureCurrentDesktop().size(), 0);
    }

    void entriesFollowApplicationAndWindowOrder()
    {
        CaptureFixture f;
        f.desktop.addRunningApplication(app(QStringLiteral("b.second"), { window("b1"), window("b2") }));
        f.desktop.addRunningApplication(app(QStringLiteral("a.first"), { window("a1") }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QStringList order;
        for (const EntryData &entry : entries)
            order.append(*entry.appBundleIdentifier);
        QCOMPARE(order, (QStringList { "b.second", "b.second", "a.first" }));
    }

    void profileReplacesTheClassicIdentifiers()
    {
        CaptureFixture f;
        PlatformProfile profile;
        profile.browsers = { QStringLiteral("firefox-esr"), QString(), QString(), QString() };
        profile.fileManager = QStringLiteral("org.gnome.Nautilus");
        profile.ide = QStringLiteral("code");
        f.desktop.setProfile(profile);
        f.desktop.addRunningApplication(app(QStringLiteral("firefox-esr"), { window() }));
        f.desktop.addRunningApplication(app(QStringLiteral("org.gnome.Nautilus"), { window(QString()) }));
        f.desktop.addRunningApplication(app(safari, { window() }));
        f.desktop.setScriptResult(QStringLiteral("firefox-esr"), listResult({ "https://f" }));
        f.desktop.setScriptResult(QStringLiteral("org.gnome.Nautilus"), listResult({ "/home/me" }));
        const QList<EntryData> entries = f.service.captureCurrentDesktop();
        QCOMPARE(kinds(entries), (QStringList { "website", "folder", "application" }));
        QCOMPARE(entries[2].appBundleIdentifier, safari);
    }
};

QTEST_GUILESS_MAIN(TestCapture)
#include "tst_capture.moc"
