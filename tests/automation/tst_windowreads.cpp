// Reads of other applications' windows: defaults for missing or mistyped values, full screen, and usable windows.
#include "automationfixture.h"

#include <QTest>
#include <limits>

using namespace fixture;

class TestWindowReads : public QObject
{
    Q_OBJECT

private slots:
    void missingPositionAndSizeReadAsZero()
    {
        AutomationFixture f;
        SimWindow w;
        w.attributes.insert(Ax::title, QStringLiteral("Bare"));
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { w }));
        const WindowRef ref = f.desktop.windowsOf(pid).first();
        QCOMPARE(f.service.readWindowState(ref), WindowState {});
        QCOMPARE(f.service.windowTitle(ref), QStringLiteral("Bare"));
        QCOMPARE(f.service.windowDocument(ref), std::nullopt);
    }

    void mistypedValuesReadAsDefaults()
    {
        AutomationFixture f;
        SimWindow w;
        w.attributes.insert(Ax::title, 42);
        w.attributes.insert(Ax::position, QStringLiteral("10,10"));
        w.attributes.insert(Ax::size, QPointF(300, 200));
        w.attributes.insert(Ax::subrole, QByteArray("AXFullScreenWindow"));
        w.attributes.insert(Ax::document, QUrl(QStringLiteral("file:///tmp/a")));
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { w }));
        const WindowRef ref = f.desktop.windowsOf(pid).first();
        QCOMPARE(f.service.windowTitle(ref), QString());
        QCOMPARE(f.service.readWindowState(ref), WindowState {});
        QCOMPARE(f.service.windowDocument(ref), std::nullopt);
    }

    void nonFiniteGeometryReadsAsZero()
    {
        AutomationFixture f;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        SimWindow w = window();
        w.attributes.insert(Ax::position, QPointF(nan, 5));
        w.attributes.insert(Ax::size, QSizeF(std::numeric_limits<double>::infinity(), 5));
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { w }));
        QCOMPARE(f.service.readWindowState(f.desktop.windowsOf(pid).first()), WindowState {});
    }

    void fullScreenSubroleIsReportedWithItsFrame()
    {
        AutomationFixture f;
        SimWindow w = window(QStringLiteral("Film"), QRectF(1920, 0, 1920, 1080));
        w.attributes.insert(Ax::subrole, QStringLiteral("AXFullScreenWindow"));
        SimWindow standard = window();
        standard.attributes.insert(Ax::subrole, QStringLiteral("AXStandardWindow"));
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { w, standard }));
        const auto windows = f.desktop.windowsOf(pid);
        QCOMPARE(f.service.readWindowState(windows[0]), (WindowState { 1920, 0, 1920, 1080, true }));
        QCOMPARE(f.service.readWindowState(windows[1]).isFullscreen, false);
    }

    void emptyWindowListIsReturnedAsEmpty()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(app(editor));
        const RunningApplication running = *f.desktop.runningApplication(editor);
        QCOMPARE(f.service.copyWindowList(running), QList<WindowRef>());
        f.desktop.setWindowListMissing(pid, true);
        QCOMPARE(f.service.copyWindowList(running), std::nullopt);
    }

    void panelsAndThinWindowsAreNotUsable()
    {
        AutomationFixture f;
        SimWindow panel = window(QStringLiteral("Panel"), QRectF(0, 0, 400, 400));
        panel.attributes.insert(Ax::role, QStringLiteral("AXSheet"));
        SimWindow thin = window(QStringLiteral("Thin"), QRectF(0, 0, 10, 500));
        SimWindow noRole = window(QStringLiteral("No role"), QRectF(0, 0, 400, 400));
        noRole.attributes.remove(Ax::role);
        f.desktop.addRunningApplication(app(editor, { panel, thin, noRole }));
        const RunningApplication running = *f.desktop.runningApplication(editor);
        QVERIFY(!f.service.hasUsableWindow(running));

        f.desktop.addWindow(running.processIdentifier, window(QStringLiteral("Real"), QRectF(0, 0, 11, 11)));
        QVERIFY(f.service.hasUsableWindow(running));
    }

    void untrustedProcessSeesNoWindows()
    {
        AutomationFixture f;
        f.desktop.addRunningApplication(app(editor, { window() }));
        f.desktop.setTrusted(false);
        const RunningApplication running = *f.desktop.runningApplication(editor);
        QCOMPARE(f.service.copyWindowList(running), std::nullopt);
        QVERIFY(!f.service.hasUsableWindow(running));
    }
};

QTEST_GUILESS_MAIN(TestWindowReads)
#include "tst_windowreads.moc"
