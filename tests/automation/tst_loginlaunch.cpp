// After login: the workspaces marked for it open once the desktop is ready, in order, without focus mode.
#include "automation/loginlaunch.h"
#include "automationfixture.h"

#include <QTest>

using namespace fixture;

namespace {

WorkspaceData workspace(const QString &appId, bool autoLaunch)
{
    WorkspaceData w;
    w.name = appId;
    w.autoLaunch = autoLaunch;
    EntryData entry;
    entry.appBundleIdentifier = appId;
    entry.delayAfterLaunch = 1.0;
    entry.frameX = 100;
    entry.frameY = 100;
    entry.width = 500;
    entry.height = 400;
    entry.monitorID = leftUUID;
    w.entries = { entry };
    return w;
}

} // namespace

class TestLoginLaunch : public QObject
{
    Q_OBJECT

private slots:
    void markedWorkspacesOpenOnceTheDesktopIsReady()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        f.desktop.installApplication(installed(xcode));
        f.desktop.installApplication(installed(chrome));
        // Another application the user already runs: no focus mode may close it.
        f.desktop.addRunningApplication(app(finder, { window() }));
        // The window manager comes up 3 s after us.
        f.desktop.setTrusted(false);
        f.clock.schedule(3.0, [&f] { f.desktop.setTrusted(true); });
        int launched = -1;
        auto task = LoginLaunch::run(f.service, f.clock, [] {
            return QList<WorkspaceData> { workspace(editor, true), workspace(chrome, false), workspace(xcode, true) };
        });
        task.then([&launched](int count) { launched = count; });
        f.clock.advance(2.9);
        QVERIFY(f.desktop.requests(QStringLiteral("openApplication")).isEmpty());
        f.clock.runUntilIdle(120);
        QCOMPARE(launched, 2);
        const QList<SimRequest> opened = f.desktop.requests(QStringLiteral("openApplication"));
        QCOMPARE(requestedApplications(f.desktop, QStringLiteral("openApplication")), (QStringList { editor, xcode }));
        QVERIFY(opened.front().time >= 3.0);
        // One after the other: the second after the first one's pause.
        QVERIFY(opened.back().time >= opened.front().time + 1.0);
        QVERIFY(f.desktop.requests(QStringLiteral("terminate")).isEmpty());
    }

    void aDesktopThatNeverGetsReadyStillGetsItsWorkspacesAfterAMinute()
    {
        AutomationFixture f;
        f.desktop.installApplication(installed(editor));
        f.desktop.setTrusted(false);
        int launched = -1;
        auto task
            = LoginLaunch::run(f.service, f.clock, [] { return QList<WorkspaceData> { workspace(editor, true) }; });
        task.then([&launched](int count) { launched = count; });
        f.clock.advance(LoginLaunch::longestReadyWait - 1);
        QVERIFY(f.desktop.requests(QStringLiteral("openApplication")).isEmpty());
        f.clock.runUntilIdle(200);
        QCOMPARE(launched, 1);
        QCOMPARE(f.desktop.requests(QStringLiteral("openApplication")).front().time, LoginLaunch::longestReadyWait);
    }
};

QTEST_GUILESS_MAIN(TestLoginLaunch)
#include "tst_loginlaunch.moc"
