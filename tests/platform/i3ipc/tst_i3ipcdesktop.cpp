// The i3 IPC desktop against a real window manager started by scripts/test-tiling-desktop: headless sway
// with two outputs (built as tst_swaydesktop) or i3 on Xvfb with two RandR monitors (tst_i3desktop). The
// windows are corvalint-test-client's; capture, moving away, launching, new windows by id, polite close.
#include "automation/automationservice.h"
#include "automation/qtautomationclock.h"
#include "platform/i3ipc/i3ipcdesktop.h"

#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

namespace {

/// The variables the harness wrote for this desktop's clients: `export K=V` and `unset K...` lines.
bool loadEnvironment(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("export "))) {
            const QString assignment = line.mid(7);
            const qsizetype equals = assignment.indexOf(QLatin1Char('='));
            if (equals > 0)
                qputenv(assignment.left(equals).toLocal8Bit(), assignment.mid(equals + 1).toLocal8Bit());
        } else if (line.startsWith(QLatin1String("unset "))) {
            for (const QString &name : line.mid(6).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                qunsetenv(name.toLocal8Bit().constData());
        }
    }
    return true;
}

std::optional<DesktopWindow> windowOf(const DesktopSnapshot &snapshot, const QString &appId)
{
    for (const DesktopApplication &application : snapshot.applications) {
        if (application.appId == appId && !application.windows.isEmpty())
            return application.windows.front();
    }
    return std::nullopt;
}

std::optional<EntryData> entryFor(const QList<EntryData> &entries, const QString &appId)
{
    for (const EntryData &entry : entries) {
        if (entry.appBundleIdentifier == appId)
            return entry;
    }
    return std::nullopt;
}

/// The largest difference of any edge.
double edgeError(const QRectF &a, const QRectF &b)
{
    return std::max({ std::abs(a.left() - b.left()), std::abs(a.top() - b.top()), std::abs(a.right() - b.right()),
        std::abs(a.bottom() - b.bottom()) });
}

} // namespace

class TestI3IpcDesktop : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<I3IpcDesktop> m_desktop;
    std::unique_ptr<QtAutomationClock> m_clock;
    std::unique_ptr<AutomationService> m_service;
    std::vector<std::unique_ptr<QProcess>> m_clients;

    void startClient(const QString &name, const QString &className, const QString &title)
    {
        auto client = std::make_unique<QProcess>();
        client->setProgram(QStringLiteral(CORVALINT_TEST_CLIENT));
        client->setArguments({ QStringLiteral("--class"), name + QLatin1Char(',') + className,
            QStringLiteral("--title"), title, QStringLiteral("--geometry"), QStringLiteral("400x300+50+50") });
        client->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client->start();
        QVERIFY(client->waitForStarted());
        m_clients.push_back(std::move(client));
    }

    /// The frame of the application's first window; an empty one while it has none.
    QRectF frameOf(const char *appId)
    {
        const auto window = windowOf(m_desktop->snapshot(), QLatin1String(appId));
        return window ? window->frame : QRectF();
    }

    static QString describe(const QRectF &frame)
    {
        return QStringLiteral("frame %1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
    }

    QRectF monitorBounds(int index) const { return m_desktop->monitors().value(index).bounds; }

    QString monitorId(int index) const { return m_desktop->monitors().value(index).identifier.value_or(QString()); }

    bool onlyWindowsGone()
    {
        const DesktopSnapshot snapshot = m_desktop->snapshot();
        for (const DesktopApplication &application : snapshot.applications) {
            if (!application.windows.isEmpty())
                return false;
        }
        return true;
    }

    void closeEverything()
    {
        const DesktopSnapshot snapshot = m_desktop->snapshot();
        for (const DesktopApplication &application : snapshot.applications)
            m_desktop->closeApplication(application);
        QTRY_VERIFY_WITH_TIMEOUT(onlyWindowsGone(), 10000);
        for (auto &client : m_clients) {
            if (client->state() != QProcess::NotRunning && !client->waitForFinished(5000)) {
                client->kill();
                client->waitForFinished(2000);
            }
        }
        m_clients.clear();
    }

private slots:
    void initTestCase()
    {
        const QString dir = qEnvironmentVariable("CORVALINT_TILING_DESKTOP_DIR");
        QVERIFY2(loadEnvironment(dir + QStringLiteral("/env")), "the test desktop's env file is missing");
        QString error;
        m_desktop = I3IpcDesktop::connect(QString(), &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QCOMPARE(m_desktop->flavour(), CORVALINT_EXPECTED_FLAVOUR);
        QVERIFY(m_desktop->canControlWindows());
        // New windows and outputs are heard of, not polled for.
        QVERIFY(m_desktop->hearsEvents());
        m_clock = std::make_unique<QtAutomationClock>();
        m_service = std::make_unique<AutomationService>(*m_desktop, *m_clock);
        closeEverything();
    }

    void cleanup() { closeEverything(); }

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
        startClient(QStringLiteral("testapp-a"), QStringLiteral("TestAppA"), QStringLiteral("Test A"));
        startClient(QStringLiteral("testapp-b"), QStringLiteral("TestAppB"), QStringLiteral("Test B"));
        startClient(QStringLiteral("testapp-c"), QStringLiteral("Testapp-C"), QStringLiteral("Test C"));
        for (const char *id : { "testapp-a", "testapp-b", "testapp-c" })
            QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QLatin1String(id)), 10000);

        // A floats on the second output, B is tiled on the first, C is full screen on the first.
        const QRectF floating(2000, 100, 700, 500);
        WindowPlacement floatingPlacement { floating, {}, std::nullopt };
        WindowPlacement tiledPlacement { monitorBounds(0), { true, true, false, false }, std::nullopt };
        WindowPlacement fullPlacement { monitorBounds(0), { false, false, true, false }, std::nullopt };
        m_desktop->place(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-a"))->id, floatingPlacement);
        m_desktop->place(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-b"))->id, tiledPlacement);
        m_desktop->place(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-c"))->id, fullPlacement);
        const bool floated = QTest::qWaitFor([&] { return edgeError(frameOf("testapp-a"), floating) <= 1; }, 5000);
        QVERIFY2(floated, qPrintable(describe(frameOf("testapp-a"))));
        QTRY_VERIFY(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-c"))->state.fullScreen);
        // A client's late answer to its first tiled size may undo a floating frame until it is read back.
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        QVERIFY2(edgeError(frameOf("testapp-a"), floating) <= 1, qPrintable(describe(frameOf("testapp-a"))));

        // Capture: every window, with its output, its frame, tiled as maximised.
        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        QCOMPARE(captured.size(), 3);
        const auto a = entryFor(captured, QStringLiteral("testapp-a"));
        const auto b = entryFor(captured, QStringLiteral("testapp-b"));
        const auto c = entryFor(captured, QStringLiteral("testapp-c"));
        QVERIFY(a && b && c);
        QVERIFY(edgeError(QRectF(a->frameX, a->frameY, a->width, a->height), floating) <= 1);
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
        m_desktop->place(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-a"))->id, { away, {}, std::nullopt });
        m_desktop->place(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-b"))->id,
            { monitorBounds(1), { true, true, false, false }, std::nullopt });
        m_desktop->place(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-c"))->id,
            { QRectF(2100, 300, 400, 300), {}, std::nullopt });
        QTRY_VERIFY(edgeError(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-a"))->frame, away) <= 1);
        QTRY_VERIFY(monitorBounds(1).contains(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-b"))->frame));
        QTRY_VERIFY(!windowOf(m_desktop->snapshot(), QStringLiteral("testapp-c"))->state.fullScreen);

        // Launch the capture: the running applications are brought forward and placed.
        QElapsedTimer timer;
        timer.start();
        QCoro::waitFor(m_service->launchWorkspace(captured, false, false));
        QTRY_COMPARE_WITH_TIMEOUT(m_service->pendingPlacements(), 0, 10000);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const qint64 launchMs = timer.elapsed();

        // The window manager lays out asynchronously: the restored layout is awaited, bounded.
        auto restored = [this](const char *id) { return *windowOf(m_desktop->snapshot(), QLatin1String(id)); };
        auto tiledOnFirst = [&] {
            const DesktopWindow b = restored("testapp-b");
            return b.state.isMaximized() && monitorBounds(0).contains(b.frame) && b.frame.width() > 100;
        };
        QTRY_VERIFY_WITH_TIMEOUT(restored("testapp-c").state.fullScreen, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(restored("testapp-c").frame, monitorBounds(0), 5000);
        QTest::qWaitFor(tiledOnFirst, 5000);
        if (!tiledOnFirst()) {
            const DesktopWindow b = restored("testapp-b");
            QFAIL(qPrintable(QStringLiteral("tiled window at %1,%2 %3x%4, maximised %5")
                                 .arg(b.frame.x())
                                 .arg(b.frame.y())
                                 .arg(b.frame.width())
                                 .arg(b.frame.height())
                                 .arg(b.state.isMaximized())));
        }
        const DesktopWindow restoredA = restored("testapp-a");
        const DesktopWindow restoredB = restored("testapp-b");
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
        QVERIFY(m_desktop->canLaunch(QStringLiteral("testapp-d")));
        QVERIFY(!m_desktop->canLaunch(QStringLiteral("no-such-application")));
        std::optional<LaunchOutcome> outcome;
        QElapsedTimer timer;
        timer.start();
        m_desktop->launch({ QStringLiteral("testapp-d"), {} }, [&](const LaunchOutcome &o) { outcome = o; });
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), I3IpcDesktop::launchTimeoutMs + 2000);
        qInfo("first window after %lld ms", timer.elapsed());
        QVERIFY(outcome->started);
        QCOMPARE(outcome->appId, QStringLiteral("testapp-d"));
        QCOMPARE(outcome->windows.size(), 1);
        const auto window = windowOf(m_desktop->snapshot(), QStringLiteral("testapp-d"));
        QVERIFY(window);
        QCOMPARE(window->id, outcome->windows.front());
        QCOMPARE(window->title, QStringLiteral("Test D"));

        // Launched again: brought forward as it runs; asked for a new window, a second one that alone counts.
        std::optional<LaunchOutcome> again;
        m_desktop->launch({ QStringLiteral("testapp-d"), {} }, [&](const LaunchOutcome &o) { again = o; });
        QTRY_VERIFY(again.has_value());
        QVERIFY(again->started);
        QCOMPARE(again->windows, outcome->windows);
        std::optional<LaunchOutcome> second;
        m_desktop->launch(
            { QStringLiteral("testapp-d"), {}, LaunchMode::newWindow }, [&](const LaunchOutcome &o) { second = o; });
        QTRY_VERIFY_WITH_TIMEOUT(second.has_value(), I3IpcDesktop::launchTimeoutMs + 2000);
        QVERIFY(second->started);
        QCOMPARE(second->windows.size(), 1);
        QVERIFY(second->windows.front() != outcome->windows.front());

        std::optional<LaunchOutcome> missing;
        m_desktop->launch({ QStringLiteral("no-such-application"), {} }, [&](const LaunchOutcome &o) { missing = o; });
        QTRY_VERIFY(missing.has_value());
        QVERIFY(!missing->started);
    }

    void closeApplicationAsksPolitely()
    {
        QFile::remove(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        int windowChanges = 0;
        const auto counting
            = connect(m_desktop.get(), &DesktopPlatform::windowsChanged, this, [&] { ++windowChanges; });
        startClient(QStringLiteral("testapp-b"), QStringLiteral("TestAppB"), QStringLiteral("Test B"));
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-b")), 10000);
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
        QTRY_VERIFY_WITH_TIMEOUT(!windowOf(m_desktop->snapshot(), QStringLiteral("testapp-b")), 5000);
        QTRY_VERIFY(windowChanges > 0);
        disconnect(counting);
        // The client exits by itself once its last window is closed.
        QTRY_COMPARE_WITH_TIMEOUT(m_clients.back()->state(), QProcess::NotRunning, 5000);
        QCOMPARE(m_clients.back()->exitStatus(), QProcess::NormalExit);
        QFile log(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains(R"("event":"WM_DELETE_WINDOW","title":"Test B")"));
    }

    void focusModeClosesTheOthersPolitely()
    {
        QFile::remove(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        startClient(QStringLiteral("testapp-b"), QStringLiteral("TestAppB"), QStringLiteral("Test B"));
        startClient(QStringLiteral("testapp-c"), QStringLiteral("Testapp-C"), QStringLiteral("Test C"));
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-b")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-c")), 10000);
        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        const auto keep = entryFor(captured, QStringLiteral("testapp-c"));
        QVERIFY(keep);

        QCoro::waitFor(m_service->launchWorkspace({ *keep }, false, true));
        QTRY_VERIFY_WITH_TIMEOUT(!windowOf(m_desktop->snapshot(), QStringLiteral("testapp-b")), 10000);
        QVERIFY(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-c")));
        QFile log(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray lines = log.readAll();
        QVERIFY(lines.contains(R"("event":"WM_DELETE_WINDOW","title":"Test B")"));
        QVERIFY(!lines.contains(R"("event":"WM_DELETE_WINDOW","title":"Test C")"));
    }

    void commandLineCapturesAndLaunchesHere()
    {
        // The command line chooses this desktop by itself: the harness's environment names the socket.
        QTemporaryDir store;
        QVERIFY(store.isValid());
        auto corvalint = [&](const QStringList &arguments) {
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("CORVALINT_DATA_DIR"), store.path());
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            process.setProcessEnvironment(environment);
            process.start(QStringLiteral(CORVALINT_BINARY), arguments);
            process.waitForFinished(30000);
            return std::make_pair(process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()));
        };
        // Nothing to save is said, never saved as an empty workspace.
        const auto empty = corvalint({ QStringLiteral("capture"), QStringLiteral("Nothing") });
        QCOMPARE(empty.first, 1);
        QVERIFY2(empty.second.contains(QLatin1String("found no application window")), qPrintable(empty.second));

        startClient(QStringLiteral("testapp-a"), QStringLiteral("TestAppA"), QStringLiteral("Test A"));
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-a")), 10000);
        const QRectF frame(2050, 150, 600, 400);
        m_desktop->place(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-a"))->id, { frame, {}, std::nullopt });
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        QTRY_VERIFY(edgeError(frameOf("testapp-a"), frame) <= 1);
        const auto captured = corvalint({ QStringLiteral("capture"), QStringLiteral("Here") });
        QCOMPARE(captured.first, 0);
        QVERIFY2(captured.second.contains(QLatin1String("with 1 entries"))
                || captured.second.contains(QLatin1String("with 1 entry")),
            qPrintable(captured.second));

        m_desktop->place(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-a"))->id,
            { QRectF(100, 100, 300, 200), {}, std::nullopt });
        QTRY_VERIFY(edgeError(frameOf("testapp-a"), QRectF(100, 100, 300, 200)) <= 1);
        const auto launched = corvalint({ QStringLiteral("launch"), QStringLiteral("Here") });
        QVERIFY2(launched.first == 0, qPrintable(launched.second));
        QTRY_VERIFY_WITH_TIMEOUT(edgeError(frameOf("testapp-a"), frame) <= 1, 5000);
        QVERIFY2(edgeError(frameOf("testapp-a"), frame) <= 1, qPrintable(describe(frameOf("testapp-a"))));
    }

    void windowsNameTheDocumentTheyShow()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // A title naming an existing path is the clue both window managers pass on (i3 has no process).
        startClient(QStringLiteral("testapp-c"), QStringLiteral("Testapp-C"), path);
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-c")), 10000);
        const DesktopWindow window = *windowOf(m_desktop->snapshot(), QStringLiteral("testapp-c"));
        QCOMPARE(window.title, path);
        QVERIFY(window.document);
        QCOMPARE(QUrl(*window.document).toLocalFile(), path);
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
        startClient(QStringLiteral("testapp-b"), QStringLiteral("TestAppB"), QStringLiteral("Test B"));
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-b")), 10000);
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
