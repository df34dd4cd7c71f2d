// The i3 IPC desktop against a real window manager started by scripts/test-tiling-desktop: headless sway
// with two outputs (built as tst_swaydesktop) or i3 on Xvfb with two RandR monitors (tst_i3desktop). The
// windows are corvalint-test-client's; capture, moving away, launching, new windows by id, polite close.
#include "automation/framemapping.h"
#include "platform/desktoptestsupport/capturedentries.h"
#include "platform/desktoptestsupport/corvalintcommand.h"
#include "platform/desktoptestsupport/framecompare.h"
#include "platform/desktoptestsupport/harnessenvironment.h"
#include "platform/desktoptestsupport/harnesssession.h"
#include "platform/i3ipc/i3ipcdesktop.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString appA = QStringLiteral("testapp-a");
const QString appB = QStringLiteral("testapp-b");
const QString appC = QStringLiteral("testapp-c");
const QString appD = QStringLiteral("testapp-d");

} // namespace

class TestI3IpcDesktop : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<I3IpcDesktop> m_desktop;
    std::unique_ptr<HarnessSession> m_session;

    void startClient(const QString &name, const QString &className, const QString &title)
    {
        QVERIFY(m_session->start(QStringLiteral(CORVALINT_TEST_CLIENT),
            { QStringLiteral("--class"), name + QLatin1Char(',') + className, QStringLiteral("--title"), title,
                QStringLiteral("--geometry"), QStringLiteral("400x300+50+50") }));
    }

    void waitForWindows(const QStringList &ids) { m_session->waitForWindows(ids, 10000); }
    QRectF frameOf(const QString &appId) { return m_session->frameOf(appId); }
    DesktopWindow windowNamed(const QString &appId) { return m_session->windowNamed(appId); }
    QRectF monitorBounds(int index) const { return m_session->monitorBounds(index); }
    QString monitorId(int index) const { return m_session->monitorId(index); }

private slots:
    void initTestCase()
    {
        const QString dir = qEnvironmentVariable("CORVALINT_TILING_DESKTOP_DIR");
        QVERIFY2(loadHarnessEnvironment(dir + QStringLiteral("/env")), "the test desktop's env file is missing");
        QString error;
        m_desktop = I3IpcDesktop::connect(QString(), &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QCOMPARE(m_desktop->flavour(), CORVALINT_EXPECTED_FLAVOUR);
        QVERIFY(m_desktop->canControlWindows());
        // New windows and outputs are heard of, not polled for.
        QVERIFY(m_desktop->hearsEvents());
        m_session = std::make_unique<HarnessSession>(*m_desktop, [this] { return m_desktop->placementsInFlight(); });
        m_session->closeEverything();
    }

    void cleanup() { m_session->closeEverything(); }

    void monitorsAreTheTwoOutputsPrimaryFirst()
    {
        const QList<DesktopMonitor> monitors = m_desktop->monitors();
        QCOMPARE(monitors.size(), 2);
        QCOMPARE(monitors[0].bounds, QRectF(0, 0, 1920, 1080));
        QCOMPARE(monitors[1].bounds, QRectF(1920, 0, 1280, 1024));
        QVERIFY(monitors[0].primary);
        QVERIFY(!monitors[1].primary);
        QVERIFY(monitors[0].identifier && monitors[1].identifier);
        QVERIFY(*monitors[0].identifier != *monitors[1].identifier);
        // Stable: the same output gives the same identifier on every read.
        QCOMPARE(m_desktop->monitors()[1].identifier, monitors[1].identifier);
    }

    void captureMoveAwayAndLaunchRestoresEveryWindow()
    {
        startClient(appA, QStringLiteral("TestAppA"), QStringLiteral("Test A"));
        startClient(appB, QStringLiteral("TestAppB"), QStringLiteral("Test B"));
        startClient(appC, QStringLiteral("Testapp-C"), QStringLiteral("Test C"));
        waitForWindows({ appA, appB, appC });

        // A floats on the second output, B is tiled on the first, C is full screen on the first.
        const QRectF floating(2000, 100, 700, 500);
        m_session->place(appA, floating);
        m_session->place(appB, monitorBounds(0), { true, true, false, false });
        m_session->place(appC, monitorBounds(0), { false, false, true, false });
        const bool floated = QTest::qWaitFor([&] { return edgeError(frameOf(appA), floating) <= 1; }, 5000);
        QVERIFY2(floated, qPrintable(describe(frameOf(appA))));
        QTRY_VERIFY(windowNamed(appC).state.fullScreen);
        // A client's late answer to its first tiled size may undo a floating frame until it is read back.
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        QVERIFY2(edgeError(frameOf(appA), floating) <= 1, qPrintable(describe(frameOf(appA))));

        // Capture: every window, with its output, its frame, tiled as maximised.
        const QList<EntryData> captured = m_session->service().captureCurrentDesktop();
        QCOMPARE(captured.size(), 3);
        const auto a = entryFor(captured, appA);
        const auto b = entryFor(captured, appB);
        const auto c = entryFor(captured, appC);
        QVERIFY(a && b && c);
        QVERIFY(edgeError(savedFrame(*a), floating) <= 1);
        QVERIFY(!a->isMaximized && !a->isFullscreen);
        QCOMPARE(a->monitorID, std::optional(monitorId(1)));
        QVERIFY(b->isMaximized);
        QCOMPARE(b->monitorID, std::optional(monitorId(0)));
        // Its workspace (number 1) goes with it, to take it back there.
        QCOMPARE(b->virtualDesktop, std::optional<int>(0));
        QVERIFY(c->isFullscreen);
        QCOMPARE(c->monitorID, std::optional(monitorId(0)));

        // Move every window away: A to the first output, B to the second, C out of full screen.
        const QRectF away(300, 200, 500, 400);
        m_session->place(appA, away);
        m_session->place(appB, monitorBounds(1), { true, true, false, false });
        m_session->place(appC, QRectF(2100, 300, 400, 300));
        QTRY_VERIFY(edgeError(windowNamed(appA).frame, away) <= 1);
        QTRY_VERIFY(monitorBounds(1).contains(windowNamed(appB).frame));
        QTRY_VERIFY(!windowNamed(appC).state.fullScreen);

        // Launch the capture: the running applications are brought forward and placed.
        QElapsedTimer timer;
        timer.start();
        m_session->launchAndSettle(captured, 10000);
        const qint64 launchMs = timer.elapsed();

        // The window manager lays out asynchronously: the restored layout is awaited, bounded.
        auto restored = [this](const QString &id) { return *m_session->window(id); };
        auto tiledOnFirst = [&] {
            const DesktopWindow b = restored(appB);
            return b.state.isMaximized() && monitorBounds(0).contains(b.frame) && b.frame.width() > 100;
        };
        QTRY_VERIFY_WITH_TIMEOUT(restored(appC).state.fullScreen, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(restored(appC).frame, monitorBounds(0), 5000);
        (void)QTest::qWaitFor(tiledOnFirst, 5000);
        if (!tiledOnFirst()) {
            const DesktopWindow b = restored(appB);
            QFAIL(qPrintable(QStringLiteral("tiled window at %1,%2 %3x%4, maximised %5")
                                 .arg(b.frame.x())
                                 .arg(b.frame.y())
                                 .arg(b.frame.width())
                                 .arg(b.frame.height())
                                 .arg(b.state.isMaximized())));
        }
        const DesktopWindow restoredA = restored(appA);
        const DesktopWindow restoredB = restored(appB);
        const double error = edgeError(restoredA.frame, floating);
        qInfo("floating frame error %.0f px, launch and placement %lld ms, corrections %d", error, launchMs,
            m_desktop->correctionsSent());
        QVERIFY2(error <= 1, qPrintable(describe(restoredA.frame)));
        QVERIFY(!restoredA.state.isMaximized());
        // Tiled again, on its output and its saved workspace (workspace 1 on the first output).
        QCOMPARE(restoredB.desktop, std::optional<int>(0));
    }

    void launchFindsTheNewWindowByApplicationId()
    {
        QVERIFY(m_desktop->canLaunch(appD));
        QVERIFY(!m_desktop->canLaunch(QStringLiteral("no-such-application")));
        QElapsedTimer timer;
        timer.start();
        const auto outcome = m_session->launch({ appD, {} }, I3IpcDesktop::launchTimeoutMs + 2000);
        QVERIFY(outcome);
        qInfo("first window after %lld ms", timer.elapsed());
        QVERIFY(outcome->started);
        QCOMPARE(outcome->appId, appD);
        QCOMPARE(outcome->windows.size(), 1);
        const auto window = m_session->window(appD);
        QVERIFY(window);
        QCOMPARE(window->id, outcome->windows.front());
        QCOMPARE(window->title, QStringLiteral("Test D"));

        // Launched again: brought forward as it runs; asked for a new window, a second one that alone counts.
        const auto again = m_session->launch({ appD, {} }, 5000);
        QVERIFY(again);
        QVERIFY(again->started);
        QCOMPARE(again->windows, outcome->windows);
        const auto second
            = m_session->launch({ appD, {}, LaunchMode::newWindow }, I3IpcDesktop::launchTimeoutMs + 2000);
        QVERIFY(second);
        QVERIFY(second->started);
        QCOMPARE(second->windows.size(), 1);
        QVERIFY(second->windows.front() != outcome->windows.front());

        m_session->checkUnknownApplicationDoesNotStart();
    }

    void closeApplicationAsksPolitely()
    {
        clearClientLog();
        int windowChanges = 0;
        const auto counting
            = connect(m_desktop.get(), &DesktopPlatform::windowsChanged, this, [&] { ++windowChanges; });
        startClient(appB, QStringLiteral("TestAppB"), QStringLiteral("Test B"));
        waitForWindows({ appB });
        // Heard of, not polled for.
        QTRY_VERIFY(windowChanges > 0);
        windowChanges = 0;
        DesktopApplication application;
        for (const DesktopApplication &candidate : m_desktop->snapshot().applications) {
            if (candidate.appId == QLatin1String("testapp-b"))
                application = candidate;
        }
        QCOMPARE(application.windows.size(), 1);
        m_desktop->closeApplication(application);
        QTRY_VERIFY_WITH_TIMEOUT(!m_session->window(appB), 5000);
        QTRY_VERIFY(windowChanges > 0);
        disconnect(counting);
        // The client exits by itself once its last window is closed.
        QTRY_COMPARE_WITH_TIMEOUT(m_session->clients().back()->state(), QProcess::NotRunning, 5000);
        QCOMPARE(m_session->clients().back()->exitStatus(), QProcess::NormalExit);
        QVERIFY(clientLog().contains(R"("event":"WM_DELETE_WINDOW","title":"Test B")"));
    }

    void focusModeClosesTheOthersPolitely()
    {
        startClient(appB, QStringLiteral("TestAppB"), QStringLiteral("Test B"));
        startClient(appC, QStringLiteral("Testapp-C"), QStringLiteral("Test C"));
        waitForWindows({ appB, appC });
        m_session->checkFocusModeKeepsOnly(appC, { appB });
        const QByteArray lines = clientLog();
        QVERIFY(lines.contains(R"("event":"WM_DELETE_WINDOW","title":"Test B")"));
        QVERIFY(!lines.contains(R"("event":"WM_DELETE_WINDOW","title":"Test C")"));
    }

    void commandLineCapturesAndLaunchesHere()
    {
        // The command line chooses this desktop by itself: the harness's environment names the socket.
        QTemporaryDir store;
        QVERIFY(store.isValid());
        // Nothing to save is said, never saved as an empty workspace.
        const auto empty = runCorvalint({ QStringLiteral("capture"), QStringLiteral("Nothing") }, store.path());
        QCOMPARE(empty.exitCode, 1);
        QVERIFY2(empty.output.contains(QLatin1String("found no application window")), qPrintable(empty.output));

        startClient(appA, QStringLiteral("TestAppA"), QStringLiteral("Test A"));
        waitForWindows({ appA });
        m_session->checkCommandLineRoundTrip(appA, {});
    }

    void windowsNameTheDocumentTheyShow()
    {
        // A title naming an existing path is the clue both window managers pass on (i3 has no process).
        m_session->checkWindowNamesItsDocument(
            appC, [this](const QString &title) { startClient(appC, QStringLiteral("Testapp-C"), title); });
    }

    void placingAWindowThatIsGoneDoesNothing()
    {
        // Read-backs of earlier placements end first (their windows are closed by now).
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const int corrections = m_desktop->correctionsSent();
        m_desktop->place(424242424242ull, { QRectF(0, 0, 100, 100), {}, std::nullopt });
        m_desktop->activate(424242424242ull);
        QVERIFY(m_desktop->canControlWindows());
        QCOMPARE(m_desktop->placementsInFlight(), 0);
        QCOMPARE(m_desktop->correctionsSent(), corrections);
    }

    void aRestartedWindowManagerIsReachedAgain()
    {
        if (m_desktop->flavour() != IpcFlavour::i3)
            QSKIP("sway has no restart in place");
        // i3 executes itself anew: every IPC connection closes under us.
        QProcess restart;
        restart.start(QStringLiteral("i3-msg"), { QStringLiteral("restart") });
        QVERIFY(restart.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop->canControlWindows(), 10000);
        QCOMPARE(m_desktop->monitors().size(), 2);
        // And the events come back, so that launches hear of windows again.
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop->hearsEvents(), 15000);
        int windowChanges = 0;
        connect(m_desktop.get(), &DesktopPlatform::windowsChanged, this, [&] { ++windowChanges; });
        startClient(appB, QStringLiteral("TestAppB"), QStringLiteral("Test B"));
        waitForWindows({ appB });
        QTRY_VERIFY(windowChanges > 0);
    }

    // Last: sway cannot take an output away again, so the session keeps the third one until it stops.
    void aNewOutputIsReported()
    {
        if (m_desktop->flavour() != IpcFlavour::sway)
            QSKIP("i3 follows RandR; this adds an output through sway's own command");
        int changes = 0;
        connect(m_desktop.get(), &DesktopPlatform::monitorsChanged, this, [&] { ++changes; });
        QProcess swaymsg;
        swaymsg.start(QStringLiteral("swaymsg"), { QStringLiteral("create_output") });
        QVERIFY(swaymsg.waitForFinished(5000));
        QCOMPARE(swaymsg.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(changes > 0, 5000);
        QTRY_COMPARE(m_desktop->monitors().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestI3IpcDesktop)
#include "tst_i3ipcdesktop.moc"
