// The KWin desktop against a real kwin_wayland started by scripts/test-kwin-desktop: two virtual outputs of different
// logical sizes (the second scaled by 1.5), an Xwayland window (corvalint-test-client), a Qt and a GTK 3 window on
// Wayland (corvalint-wayland-test-window, gtktestwindow.py) and an xterm through Xwayland; capture, moving away,
// launching, a monitor scaled or moved between capture and launch, new windows by application id, polite close,
// Corvalint's own window, and errors inside KWin.
//
// The test itself is a Wayland client of the test desktop (its own window stands for Corvalint's): main() reads the
// desktop's environment before the application starts.
#include "automation/framemapping.h"
#include "platform/desktoptestsupport/capturedentries.h"
#include "platform/desktoptestsupport/framecompare.h"
#include "platform/desktoptestsupport/harnessenvironment.h"
#include "platform/desktoptestsupport/harnesssession.h"
#include "platform/kwin/kwindesktop.h"
#include "platform/kwin/kwinscriptrunner.h"
#include "platform/kwin/kwinscripts.h"
#include "platform/kwin/kwinwindowlist.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoro/QCoroTask>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <memory>

namespace {

const QString appA = QStringLiteral("testapp-a"); // corvalint-test-client through Xwayland
const QString appW = QStringLiteral("testapp-w"); // Qt on Wayland
const QString appG = QStringLiteral("org.example.TestG"); // GTK 3 on Wayland
const QString appX = QStringLiteral("testapp-x"); // xterm through Xwayland

QString environmentFile()
{
    return qEnvironmentVariable("CORVALINT_KWIN_DESKTOP_DIR") + QStringLiteral("/env");
}

/// Whether an xterm's frame is where it was asked to be: the corner within a pixel, the size short of the goal by
/// less than one character cell (xterm sizes itself in whole cells).
bool withinCell(const QRectF &frame, const QRectF &goal, const QSize &cell)
{
    return std::abs(frame.x() - goal.x()) <= 1 && std::abs(frame.y() - goal.y()) <= 1
        && std::abs(frame.width() - goal.width()) < cell.width() + 1
        && std::abs(frame.height() - goal.height()) < cell.height() + 1;
}

/// Where a launch puts a frame saved on `saved` when its monitor is `now` (the rule of framemapping.h, written out):
/// the offset from the monitor's corner is kept; a smaller monitor scales both axes, each by its own ratio.
QRectF expectedOn(const QRectF &frame, const QRectF &saved, const QRectF &now)
{
    if (now.width() < saved.width() || now.height() < saved.height()) {
        const double sx = now.width() / saved.width();
        const double sy = now.height() / saved.height();
        return QRectF(now.x() + sx * (frame.x() - saved.x()), now.y() + sy * (frame.y() - saved.y()),
            sx * frame.width(), sy * frame.height());
    }
    return frame.translated(now.topLeft() - saved.topLeft());
}

/// A window of the test's own process: it stands for Corvalint's window, and says when it is asked to close.
class OwnWindow : public QWidget
{
public:
    int closeRequests = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closeRequests;
        event->ignore();
    }
};

} // namespace

class TestKWinDesktop : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<KWinDesktop> m_desktop;
    std::unique_ptr<HarnessSession> m_session;
    bool m_screensChanged = false;

    void startXwaylandClient()
    {
        // 640x480 is a size the test client takes as asked; KWin places it where it likes.
        QVERIFY(m_session->start(QStringLiteral(CORVALINT_TEST_CLIENT),
            { QStringLiteral("--class"), QStringLiteral("testapp-a,TestAppA"), QStringLiteral("--title"),
                QStringLiteral("Test A"), QStringLiteral("--geometry"), QStringLiteral("400x300+50+50") }));
    }

    void startWaylandWindow()
    {
        QVERIFY(m_session->start(QStringLiteral(CORVALINT_WAYLAND_TEST_WINDOW),
            { QStringLiteral("--app-id"), appW, QStringLiteral("--title"), QStringLiteral("Test W"),
                QStringLiteral("--size"), QStringLiteral("400x300") }));
    }

    void startGtkWindow()
    {
        QVERIFY(m_session->start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral(CORVALINT_GTK_TEST_WINDOW), QStringLiteral("--app-id"), appG, QStringLiteral("--title"),
                QStringLiteral("Test G"), QStringLiteral("--size"), QStringLiteral("400x300") }));
    }

    QProcess *startXterm()
    {
        return m_session->start(QStringLiteral("xterm"),
            { QStringLiteral("-T"), QStringLiteral("Test X"), QStringLiteral("-name"), QStringLiteral("testappx"),
                QStringLiteral("-class"), QStringLiteral("TestAppX") });
    }

    /// All four kinds of window, listed by KWin.
    void startAllFour()
    {
        startXwaylandClient();
        startWaylandWindow();
        startGtkWindow();
        QVERIFY(startXterm());
        waitForWindows({ appA, appW, appG, appX });
    }

    void waitForWindows(const QStringList &ids) { m_session->waitForWindows(ids, 15000); }
    QRectF frameOf(const QString &appId) { return m_session->frameOf(appId); }
    DesktopWindow windowNamed(const QString &appId) { return m_session->windowNamed(appId); }
    void place(const QString &appId, const QRectF &frame, WindowState state = {})
    {
        m_session->place(appId, frame, state);
    }
    QRectF monitorBounds(int index) const { return m_session->monitorBounds(index); }
    QString monitorId(int index) const { return m_session->monitorId(index); }

    /// The xterm's character cell, from its WM_NORMAL_HINTS (xwininfo and xprop, on the desktop's Xwayland).
    QSize xtermCell()
    {
        QProcess info;
        info.start(QStringLiteral("xwininfo"), { QStringLiteral("-name"), QStringLiteral("Test X") });
        info.waitForFinished(5000);
        const auto id = QRegularExpression(QStringLiteral("Window id: (0x[0-9a-f]+)"))
                            .match(QString::fromUtf8(info.readAllStandardOutput()));
        if (!id.hasMatch())
            return {};
        QProcess hints;
        hints.start(
            QStringLiteral("xprop"), { QStringLiteral("-id"), id.captured(1), QStringLiteral("WM_NORMAL_HINTS") });
        hints.waitForFinished(5000);
        const auto increment = QRegularExpression(QStringLiteral("resize increment: (\\d+) by (\\d+)"))
                                   .match(QString::fromUtf8(hints.readAllStandardOutput()));
        return increment.hasMatch() ? QSize(increment.captured(1).toInt(), increment.captured(2).toInt()) : QSize();
    }

    /// kscreen-doctor inside the test desktop, through the harness; no arguments put the usual layout back.
    bool screens(const QStringList &arguments = {})
    {
        QProcess harness;
        harness.setProcessChannelMode(QProcess::ForwardedChannels);
        harness.start(QStringLiteral(CORVALINT_KWIN_HARNESS),
            QStringList { QStringLiteral("--dir"), qEnvironmentVariable("CORVALINT_KWIN_DESKTOP_DIR"),
                QStringLiteral("--display"), qEnvironmentVariable("CORVALINT_KWIN_DISPLAY"), QStringLiteral("screens") }
                + arguments);
        m_screensChanged = m_screensChanged || !arguments.isEmpty();
        return harness.waitForFinished(30000) && harness.exitStatus() == QProcess::NormalExit
            && harness.exitCode() == 0;
    }

    /// Every window the listing script sees, Corvalint's own included (the desktop leaves those out).
    QList<KWinWindow> rawWindows()
    {
        QString error;
        auto runner = KWinScriptRunner::open(&error);
        const auto answer = runner ? runner->run(KWinScripts::listBody(), &error) : std::nullopt;
        const auto list = answer ? KWinWindowList::parse(*answer, &error) : std::nullopt;
        return list ? list->windows : QList<KWinWindow>();
    }

    std::optional<KWinWindow> ownWindow()
    {
        for (const KWinWindow &w : rawWindows()) {
            if (w.pid == QCoreApplication::applicationPid() && w.caption == QLatin1String("Corvalint itself"))
                return w;
        }
        return std::nullopt;
    }

    bool kwinListsOwnWindow() { return ownWindow().has_value(); }
    QRectF ownFrameNow() { return QRectF(ownWindow().value_or(KWinWindow()).frame); }

private slots:
    void initTestCase()
    {
        QVERIFY2(qEnvironmentVariableIsSet("WAYLAND_DISPLAY"), "the test desktop's env file is missing");
        clearClientLog();
        QVERIFY(KWinDesktop::sessionIsKWinWayland());
        QString error;
        m_desktop = KWinDesktop::connect(&error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_desktop->canControlWindows());
        m_session = std::make_unique<HarnessSession>(*m_desktop, [this] { return m_desktop->placementsInFlight(); });
        m_session->closeEverything();
    }

    void cleanup()
    {
        m_session->closeEverything();
        if (m_screensChanged) {
            QVERIFY(screens());
            m_screensChanged = false;
        }
    }

    void monitorsAreTwoOutputsOfDifferentSizesFirstOneFirst()
    {
        const QList<DesktopMonitor> monitors = m_desktop->monitors();
        QCOMPARE(monitors.size(), 2);
        QCOMPARE(monitors[0].bounds, QRectF(0, 0, 1920, 1080));
        QVERIFY(monitors[0].primary);
        // The second output has the same mode, scaled by 1.5: a smaller monitor in logical pixels.
        QCOMPARE(monitors[1].bounds, QRectF(1920, 0, 1280, 720));
        QCOMPARE(monitors[0].connector, QStringLiteral("Virtual-0"));
        QCOMPARE(monitors[1].connector, QStringLiteral("Virtual-1"));
        QVERIFY(monitors[0].identifier && monitors[1].identifier);
        QVERIFY(*monitors[0].identifier != *monitors[1].identifier);
        QCOMPARE(m_desktop->monitors()[1].identifier, monitors[1].identifier);
    }

    void windowsNameTheDocumentTheyShow()
    {
        // Editors title their windows with the file; KWin itself names no document.
        m_session->checkWindowNamesItsDocument(appW, [this](const QString &title) {
            QVERIFY(m_session->start(QStringLiteral(CORVALINT_WAYLAND_TEST_WINDOW),
                { QStringLiteral("--app-id"), appW, QStringLiteral("--title"), title, QStringLiteral("--size"),
                    QStringLiteral("400x300") }));
        });
    }

    void captureMoveAwayAndLaunchRestoresEveryWindow()
    {
        startAllFour();
        const DesktopWindow w = windowNamed(appW);
        QCOMPARE(w.title, QStringLiteral("Test W"));
        QVERIFY(w.pid.has_value());
        QCOMPARE(w.desktop, std::optional<int>(0));
        QCOMPARE(windowNamed(appG).title, QStringLiteral("Test G"));
        QCOMPARE(windowNamed(appX).title, QStringLiteral("Test X"));
        const QSize cell = xtermCell();
        QVERIFY2(cell.isValid() && cell.width() > 1, "no character cell from the xterm's size hints");

        // A and G on the second (smaller, scaled) output, W maximised on the first, X on the first.
        const QRectF a(2000, 100, 700, 500);
        const QRectF g(2250, 150, 600, 450);
        const QRectF x(200, 500, 600, 400);
        place(appA, a);
        place(appG, g);
        place(appX, x);
        place(appW, QRectF(100, 100, 600, 400), { true, true, false, false });
        QTRY_VERIFY2(edgeError(frameOf(appA), a) <= 1, qPrintable(describe(frameOf(appA))));
        QTRY_VERIFY2(edgeError(frameOf(appG), g) <= 1, qPrintable(describe(frameOf(appG))));
        QTRY_VERIFY2(withinCell(frameOf(appX), x, cell), qPrintable(describe(frameOf(appX))));
        QTRY_VERIFY(windowNamed(appW).state.isMaximized());
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        QElapsedTimer captureTime;
        captureTime.start();
        const QList<EntryData> captured = m_session->service().captureCurrentDesktop();
        const qint64 captureMs = captureTime.elapsed();
        QCOMPARE(captured.size(), 4);
        const auto entryA = entryFor(captured, appA);
        const auto entryW = entryFor(captured, appW);
        const auto entryG = entryFor(captured, appG);
        const auto entryX = entryFor(captured, appX);
        QVERIFY(entryA && entryW && entryG && entryX);
        QVERIFY(edgeError(savedFrame(*entryA), a) <= 1);
        QVERIFY(edgeError(savedFrame(*entryG), g) <= 1);
        QVERIFY(withinCell(savedFrame(*entryX), x, cell));
        QCOMPARE(entryA->monitorID, std::optional(monitorId(1)));
        QCOMPARE(entryG->monitorID, std::optional(monitorId(1)));
        QCOMPARE(entryX->monitorID, std::optional(monitorId(0)));
        QVERIFY(entryW->isMaximized);
        QCOMPARE(entryW->monitorID, std::optional(monitorId(0)));

        // Away: A and G to the first output, X to the second, W out of its maximised state onto the second.
        place(appA, QRectF(300, 200, 500, 400));
        place(appG, QRectF(900, 300, 450, 350));
        place(appX, QRectF(2000, 50, 500, 300));
        place(appW, QRectF(2100, 300, 400, 300));
        QTRY_VERIFY(edgeError(frameOf(appA), QRectF(300, 200, 500, 400)) <= 1);
        QTRY_VERIFY(edgeError(frameOf(appG), QRectF(900, 300, 450, 350)) <= 1);
        QTRY_VERIFY(frameOf(appX).x() >= 1990);
        QTRY_VERIFY(!windowNamed(appW).state.isMaximized());
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        // Back: the running applications are brought forward and placed.
        QElapsedTimer timer;
        timer.start();
        m_session->launchAndSettle(captured, 10000);
        const qint64 launchMs = timer.elapsed();
        QTRY_VERIFY(windowNamed(appW).state.isMaximized());
        QTRY_VERIFY(monitorBounds(0).contains(windowNamed(appW).frame));
        double error = 0;
        for (const auto &entry : { *entryA, *entryG }) {
            const QString id = *entry.appBundleIdentifier;
            QTRY_VERIFY2(edgeError(frameOf(id), savedFrame(entry)) <= 1,
                qPrintable(id + QLatin1Char(' ') + describe(frameOf(id))));
            error = std::max(error, edgeError(frameOf(id), savedFrame(entry)));
        }
        QTRY_VERIFY2(withinCell(frameOf(appX), savedFrame(*entryX), cell), qPrintable(describe(frameOf(appX))));
        qInfo("frame error %.0f px (xterm %.0f px, cell %dx%d), capture %lld ms, launch and placement %lld ms, "
              "corrections %d",
            error, edgeError(frameOf(appX), savedFrame(*entryX)), cell.width(), cell.height(), captureMs, launchMs,
            m_desktop->correctionsSent());
    }

    void aChangedMonitorGetsItsWindowsScaledOrMoved_data()
    {
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<QRectF>("bounds");
        // Scale 2 instead of 1.5: 960x540 instead of 1280x720, so a saved frame shrinks by 3/4.
        QTest::newRow("scaled down") << QStringList { QStringLiteral("output.Virtual-1.scale.2") }
                                     << QRectF(1920, 0, 960, 540);
        // Scale 1: a bigger monitor, the frames keep their size and their offset from its corner.
        QTest::newRow("scaled up") << QStringList { QStringLiteral("output.Virtual-1.scale.1") }
                                   << QRectF(1920, 0, 1920, 1080);
        // Below the first output instead of right of it.
        QTest::newRow("moved") << QStringList { QStringLiteral("output.Virtual-1.position.0,1080") }
                               << QRectF(0, 1080, 1280, 720);
    }

    void aChangedMonitorGetsItsWindowsScaledOrMoved()
    {
        QFETCH(QStringList, change);
        QFETCH(QRectF, bounds);
        startWaylandWindow();
        startGtkWindow();
        QVERIFY(startXterm());
        waitForWindows({ appW, appG, appX });
        const QSize cell = xtermCell();
        QVERIFY(cell.isValid());

        // All three on the second output.
        const QRectF saved = monitorBounds(1);
        QCOMPARE(saved, QRectF(1920, 0, 1280, 720));
        place(appW, QRectF(1960, 40, 600, 400));
        place(appG, QRectF(2600, 120, 560, 440));
        place(appX, QRectF(2000, 300, 600, 380));
        QTRY_VERIFY(edgeError(frameOf(appW), QRectF(1960, 40, 600, 400)) <= 1);
        QTRY_VERIFY(edgeError(frameOf(appG), QRectF(2600, 120, 560, 440)) <= 1);
        QTRY_VERIFY(withinCell(frameOf(appX), QRectF(2000, 300, 600, 380), cell));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const QList<EntryData> captured = m_session->service().captureCurrentDesktop();
        QCOMPARE(captured.size(), 3);
        for (const EntryData &entry : captured) {
            QCOMPARE(entry.monitorID, std::optional(monitorId(1)));
            QCOMPARE(QRectF(entry.originalScreenX.value_or(-1), entry.originalScreenY.value_or(-1),
                         entry.originalScreenWidth.value_or(-1), entry.originalScreenHeight.value_or(-1)),
                saved);
        }

        // The monitor changes while the workspace is closed; the same monitor, found by its identifier.
        const QString identifier = monitorId(1);
        QVERIFY(screens(change));
        QTRY_COMPARE(monitorBounds(1), bounds);
        QCOMPARE(monitorId(1), identifier);

        m_session->launchAndSettle(captured, 10000);
        for (const QString &id : { appW, appG }) {
            const QRectF goal = expectedOn(savedFrame(*entryFor(captured, id)), saved, bounds);
            QTRY_VERIFY2(edgeError(frameOf(id), goal) <= 1,
                qPrintable(
                    id + QLatin1Char(' ') + describe(frameOf(id)) + QStringLiteral(", wanted ") + describe(goal)));
        }
        const QRectF goalX = expectedOn(savedFrame(*entryFor(captured, appX)), saved, bounds);
        QTRY_VERIFY2(withinCell(frameOf(appX), goalX, cell),
            qPrintable(describe(frameOf(appX)) + QStringLiteral(", wanted ") + describe(goalX)));
    }

    void fullScreenAndDesktopsComeBack()
    {
        // A second virtual desktop, in the test session's own KWin configuration.
        QDBusMessage create
            = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/VirtualDesktopManager"),
                QStringLiteral("org.kde.KWin.VirtualDesktopManager"), QStringLiteral("createDesktop"));
        create.setArguments({ 1u, QStringLiteral("Second") });
        QDBusMessage count
            = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/VirtualDesktopManager"),
                QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        count.setArguments({ QStringLiteral("org.kde.KWin.VirtualDesktopManager"), QStringLiteral("count") });
        const QDBusMessage desktops = QDBusConnection::sessionBus().call(count);
        QCOMPARE(desktops.type(), QDBusMessage::ReplyMessage);
        if (desktops.arguments().value(0).value<QDBusVariant>().variant().toUInt() < 2)
            QCOMPARE(QDBusConnection::sessionBus().call(create).type(), QDBusMessage::ReplyMessage);

        startXwaylandClient();
        startWaylandWindow();
        m_session->waitForWindows({ appA, appW }, 10000);
        // W full screen on the second output, A on the second desktop.
        m_session->checkFullScreenAndDesktopComeBack(appW, appA, 10000);
    }

    void focusModeClosesTheOthersPolitely()
    {
        startXwaylandClient();
        startWaylandWindow();
        startGtkWindow();
        QProcess *xterm = startXterm();
        QVERIFY(xterm);
        waitForWindows({ appA, appW, appG, appX });
        m_session->checkFocusModeKeepsOnly(appW, { appA, appG, appX });
        const QByteArray log = clientLog();
        QVERIFY2(log.contains("WM_DELETE_WINDOW") && log.contains("\"delete-event\""), log.constData());
        // xterm ends by itself on WM_DELETE_WINDOW: no signal ended it.
        QVERIFY(xterm->state() == QProcess::NotRunning || xterm->waitForFinished(5000));
        QCOMPARE(xterm->exitStatus(), QProcess::NormalExit);
    }

    void launchFindsTheNewWindowByApplicationId()
    {
        for (const QString &id : { appW, appG, appX })
            m_session->checkLaunchFindsItsWindow(id, KWinDesktop::launchTimeoutMs + 2000);
        m_session->checkUnknownApplicationDoesNotStart();
    }

    void closeApplicationAsksEveryKindPolitely()
    {
        startAllFour();
        QProcess *xterm = m_session->clients().back().get();
        clearClientLog();
        m_session->closeAllApplications();
        for (const auto &client : m_session->clients())
            QVERIFY(client->state() == QProcess::NotRunning || client->waitForFinished(5000));
        const QByteArray lines = clientLog();
        // Qt's closeEvent, X11's WM_DELETE_WINDOW, GTK's delete-event; xterm ended by itself.
        QVERIFY2(lines.contains("\"closeEvent\"") && lines.contains("WM_DELETE_WINDOW")
                && lines.contains("\"delete-event\""),
            lines.constData());
        QCOMPARE(xterm->exitStatus(), QProcess::NormalExit);
    }

    void corvalintsOwnWindowIsNeverListedPlacedOrClosed()
    {
        // A window of this process under the application id of a real application: the process decides.
        QGuiApplication::setDesktopFileName(appW);
        OwnWindow own;
        own.setWindowTitle(QStringLiteral("Corvalint itself"));
        own.resize(300, 200);
        own.show();
        startWaylandWindow();
        QTRY_VERIFY_WITH_TIMEOUT(kwinListsOwnWindow(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(m_session->window(appW), 10000);

        const DesktopSnapshot snapshot = m_desktop->snapshot();
        for (const DesktopApplication &application : snapshot.applications) {
            QVERIFY(!application.hasPid(QCoreApplication::applicationPid()));
            for (const DesktopWindow &window : application.windows)
                QVERIFY(window.title != QLatin1String("Corvalint itself"));
        }
        const QList<EntryData> captured = m_session->service().captureCurrentDesktop();
        QCOMPARE(captured.size(), 1);

        // Launching the application's entry places its window, never this one.
        const QRectF ownFrame = ownFrameNow();
        place(appW, QRectF(500, 500, 300, 200));
        QTRY_VERIFY(edgeError(frameOf(appW), QRectF(500, 500, 300, 200)) <= 1);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        m_session->launchAndSettle(captured, 10000);
        QTRY_VERIFY(edgeError(frameOf(appW), savedFrame(captured.front())) <= 1);
        QCOMPARE(ownFrameNow(), ownFrame);

        // Asked to close "its" application by process, or focus mode with nothing kept: it stays, unasked.
        DesktopApplication ours;
        ours.appId = appW;
        ours.pids = { QCoreApplication::applicationPid() };
        m_desktop->closeApplication(ours);
        QCoro::waitFor(m_session->service().launchWorkspace({}, false, true));
        QTRY_VERIFY_WITH_TIMEOUT(!m_session->window(appW), 10000);
        QTest::qWait(300);
        QCOMPARE(own.closeRequests, 0);
        QVERIFY(kwinListsOwnWindow());
        own.hide();
        QGuiApplication::setDesktopFileName(QString());
    }

    void commandLineChoosesKWinAndCapturesAndLaunchesHere()
    {
        startWaylandWindow();
        waitForWindows({ appW });
        // The command line chooses this desktop by itself: a Wayland session with KWin on its bus.
        m_session->checkCommandLineRoundTrip(appW, { QStringLiteral("--desktop"), QStringLiteral("kwin") });
    }

    void anErrorInsideKWinComesBackAndAHungScriptTimesOut()
    {
        QString error;
        auto runner = KWinScriptRunner::open(&error);
        QVERIFY2(runner, qPrintable(error));
        QVERIFY(!runner->run(QStringLiteral("throw new Error('no such thing');"), &error));
        QVERIFY2(error.contains(QLatin1String("no such thing")), qPrintable(error));
        // KWin 5.27 starts each script through its own object at /N (KWin 6: /Scripting/ScriptN).
        QCOMPARE(runner->starter(), KWinScriptRunner::Starter::numberedObject);

        // A script KWin cannot even parse never answers: the wait ends at its limit.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!runner->run(QStringLiteral("return {;"), &error, 500));
        QVERIFY(timer.elapsed() < 3000);
        QCOMPARE(runner->timeouts(), 1);
        // Nothing stays loaded, and the next script runs as usual.
        QVERIFY(runner->run(KWinScripts::listBody(), &error));
    }
};

int main(int argc, char **argv)
{
    // A Wayland client of the test desktop, so that the test has windows of its own; without the desktop's
    // variables it starts without a screen and initTestCase says what is missing.
    if (loadHarnessEnvironment(environmentFile()))
        qputenv("QT_QPA_PLATFORM", "wayland");
    else
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestKWinDesktop test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kwindesktop.moc"
