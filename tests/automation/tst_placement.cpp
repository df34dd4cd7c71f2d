// Window placement: the target screen, the frame every window receives, and what is written for full-screen entries.
#include "automationfixture.h"

#include <QTest>
#include <limits>

using namespace fixture;

namespace {

EntryData entryAt(const QRectF &frame, std::optional<QString> monitorID = std::nullopt)
{
    EntryData entry;
    entry.appBundleIdentifier = editor;
    entry.frameX = frame.x();
    entry.frameY = frame.y();
    entry.width = frame.width();
    entry.height = frame.height();
    entry.monitorID = std::move(monitorID);
    return entry;
}

void setSavedScreen(EntryData &entry, const QRectF &screen)
{
    entry.originalScreenX = screen.x();
    entry.originalScreenY = screen.y();
    entry.originalScreenWidth = screen.width();
    entry.originalScreenHeight = screen.height();
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private slots:
    void savedMonitorNowSmallerScalesWindow()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        EntryData entry = entryAt(QRectF(2660, 50, 1280, 720), rightUUID);
        setSavedScreen(entry, QRectF(2560, 0, 2560, 1440));
        QVERIFY(f.service.placeWindows(pid, entry));
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(1995, 37.5, 960, 540));
        QCOMPARE(windowRequests(f.desktop), (QStringList { "place", "activate" }));
        QCOMPARE(f.desktop.activeWindow(), std::optional<WindowId>(f.desktop.windowsOf(pid).first()));
    }

    void monitorIsFoundWhereverItNowStands()
    {
        AutomationFixture f;
        QList<SimScreen> screens = twoScreens();
        std::swap(screens[0], screens[1]);
        screens[0].bounds = QRectF(0, 0, 1920, 1080);
        screens[1].bounds = QRectF(-1920, 0, 1920, 1080);
        f.desktop.setScreens(screens);
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        EntryData entry = entryAt(QRectF(100, 100, 800, 600), leftUUID);
        setSavedScreen(entry, QRectF(0, 0, 1920, 1080));
        f.service.placeWindows(pid, entry);
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(-1820, 100, 800, 600));
    }

    void largerMonitorKeepsFrame()
    {
        AutomationFixture f;
        f.desktop.setScreens({ SimScreen { 7, QRectF(0, 0, 3840, 2160), leftUUID } });
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        EntryData entry = entryAt(QRectF(100, 100, 800, 600), leftUUID);
        setSavedScreen(entry, QRectF(0, 0, 2560, 1440));
        f.service.placeWindows(pid, entry);
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(100, 100, 800, 600));
    }

    void withoutMonitorIDMainScreenIsTarget()
    {
        AutomationFixture f;
        f.desktop.setMainScreenIndex(1);
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        f.service.placeWindows(pid, entryAt(QRectF(5000, 300, 800, 600)));
        // (5000, 300) lies off the right monitor (1920..3840): x is pulled in, y kept.
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(1970, 300, 800, 600));
    }

    void insetOnMainScreen()
    {
        AutomationFixture f;
        f.desktop.setScreens({ SimScreen { 1, QRectF(0, 0, 1440, 900), leftUUID } });
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        f.service.placeWindows(pid, entryAt(QRectF(5000, 300, 800, 600)));
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(50, 300, 800, 600));
    }

    void goneMonitorFallsBackToMainScreen()
    {
        AutomationFixture f;
        f.desktop.setMainScreenIndex(1);
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        f.service.placeWindows(pid, entryAt(QRectF(100, 100, 800, 600), QStringLiteral("33333333-GONE")));
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(1970, 100, 800, 600));
    }

    void identifiersCompareCaseSensitively()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        EntryData entry = entryAt(QRectF(2000, 100, 800, 600), QStringLiteral("aaaaaaaa-0000-0000-0000-000000000000"));
        f.desktop.setScreens({ SimScreen { 1, QRectF(0, 0, 1920, 1080), leftUUID },
            SimScreen { 2, QRectF(1920, 0, 1920, 1080), QStringLiteral("AAAAAAAA-0000-0000-0000-000000000000") } });
        f.service.placeWindows(pid, entry);
        // No match: the main (left) screen pulls x in.
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(50, 100, 800, 600));
    }

    void noMainScreenKeepsSavedFrame()
    {
        AutomationFixture f;
        f.desktop.setMainScreenIndex(std::nullopt);
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        QVERIFY(f.service.placeWindows(pid, entryAt(QRectF(5000, 300, 800, 600))));
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(5000, 300, 800, 600));

        f.desktop.setMainScreenIndex(7);
        f.service.placeWindows(pid, entryAt(QRectF(6000, 300, 800, 600)));
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(6000, 300, 800, 600));
    }

    void mainScreenWithoutIdentifierStillReceivesTheFrame()
    {
        // A monitor without an identifier still has bounds: the saved frame is
        // pulled onto it like onto any other focused monitor.
        AutomationFixture f;
        f.desktop.setScreens({ SimScreen { std::nullopt, QRectF(0, 0, 1440, 900), std::nullopt } });
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        f.service.placeWindows(pid, entryAt(QRectF(5000, 300, 800, 600)));
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(50, 300, 800, 600));
    }

    void fullScreenEntryAsksFullScreenOnItsMonitor()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window(), window() }));
        EntryData entry = entryAt(QRectF(1920, 0, 1920, 1080), rightUUID);
        entry.isFullscreen = true;
        QVERIFY(f.service.placeWindows(pid, entry));
        QCOMPARE(windowRequests(f.desktop), (QStringList { "place", "activate", "place", "activate" }));
        const SimRequest place = f.desktop.requests(QStringLiteral("place")).first();
        QVERIFY(place.placement && place.placement->state.fullScreen);
        QCOMPARE(place.placement->frame, QRectF(1920, 0, 1920, 1080));
        QVERIFY(f.desktop.window(f.desktop.windowsOf(pid).first())->state.fullScreen);
    }

    void maximisedEntryAsksMaximisedOnItsMonitor()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window("a", QRectF(10, 10, 300, 200)) }));
        EntryData entry = entryAt(QRectF(1920, 0, 1920, 1080), rightUUID);
        entry.isMaximized = true;
        QVERIFY(f.service.placeWindows(pid, entry));
        const SimRequest place = f.desktop.requests(QStringLiteral("place")).first();
        QVERIFY(place.placement);
        QVERIFY(place.placement->state.isMaximized());
        QVERIFY(!place.placement->state.fullScreen);
        QCOMPARE(place.placement->frame, QRectF(1920, 0, 1920, 1080));
        QVERIFY(f.desktop.window(f.desktop.windowsOf(pid).first())->state.isMaximized());

        // Full screen wins over a stored maximised flag.
        entry.isFullscreen = true;
        QVERIFY(f.service.placeWindows(pid, entry));
        const SimRequest second = f.desktop.requests(QStringLiteral("place")).last();
        QVERIFY(second.placement->state.fullScreen);
        QVERIFY(!second.placement->state.maximizedHorizontally);
    }

    void allWindowsGetTheSameFrame()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(
            app(editor, { window("a", QRectF(0, 0, 10, 10)), window("b", QRectF(5, 5, 20, 20)), window("c") }));
        QVERIFY(f.service.placeWindows(pid, entryAt(QRectF(300, 200, 640, 480), leftUUID)));
        for (WindowId id : f.desktop.windowsOf(pid))
            QCOMPARE(f.frameOf(id), QRectF(300, 200, 640, 480));
        QCOMPARE(f.desktop.requests(QStringLiteral("place")).size(), 3);
    }

    void noWindowsGivesFalseAndNoWrites()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(app(editor));
        QVERIFY(!f.service.placeWindows(pid, entryAt(QRectF(0, 0, 100, 100))));
        f.desktop.setWindowListMissing(pid, true);
        QVERIFY(!f.service.placeWindows(pid, entryAt(QRectF(0, 0, 100, 100))));
        QVERIFY(!f.service.placeWindows(99999, entryAt(QRectF(0, 0, 100, 100))));
        QCOMPARE(windowRequests(f.desktop), QStringList());
    }

    void refusedWritesStillCountAsPlaced()
    {
        AutomationFixture f;
        SimWindow fixed = window("fixed", QRectF(10, 10, 300, 300));
        fixed.refusesWrites = true;
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { fixed }));
        QVERIFY(f.service.placeWindows(pid, entryAt(QRectF(500, 500, 640, 480), leftUUID)));
        QCOMPARE(f.frameOf(f.desktop.windowsOf(pid).first()), QRectF(10, 10, 300, 300));
        QCOMPARE(windowRequests(f.desktop), (QStringList { "place", "activate" }));
    }

    void nonFiniteFrameWritesNothingToWindow()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        EntryData entry = entryAt(QRectF(100, 100, std::numeric_limits<double>::infinity(), 600), leftUUID);
        QVERIFY(f.service.placeWindows(pid, entry));
        entry.width = std::numeric_limits<double>::quiet_NaN();
        entry.isFullscreen = true;
        QVERIFY(f.service.placeWindows(pid, entry));
        QCOMPARE(windowRequests(f.desktop), QStringList());
    }

    void placementFrameMatchesWhatIsWritten()
    {
        AutomationFixture f;
        EntryData entry = entryAt(QRectF(2660, 50, 1280, 720), rightUUID);
        setSavedScreen(entry, QRectF(2560, 0, 2560, 1440));
        QCOMPARE(f.service.placementFrame(entry), QRectF(1995, 37.5, 960, 540));
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
