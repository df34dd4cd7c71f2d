// The KWin desktop against a real kwin_wayland started by scripts/test-kwin-desktop: two virtual outputs, an
// Xwayland window (corvalint-test-client) and a native Wayland window (corvalint-wayland-test-window); capture,
// moving away, launching, new windows by application id, polite close, and errors inside KWin.
#include "automation/automationservice.h"
#include "automation/qtautomationclock.h"
#include "platform/kwin/kwindesktop.h"
#include "platform/kwin/kwinscriptrunner.h"
#include "platform/kwin/kwinscripts.h"

#include <QCoro/QCoroTask>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
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

QString describe(const QRectF &frame)
{
    return QStringLiteral("frame %1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

} // namespace

class TestKWinDesktop : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<KWinDesktop> m_desktop;
    std::unique_ptr<QtAutomationClock> m_clock;
    std::unique_ptr<AutomationService> m_service;
    std::vector<std::unique_ptr<QProcess>> m_clients;

    void start(const QString &program, const QStringList &arguments)
    {
        auto client = std::make_unique<QProcess>();
        client->setProgram(program);
        client->setArguments(arguments);
        client->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client->start();
        QVERIFY(client->waitForStarted());
        m_clients.push_back(std::move(client));
    }

    void startXwaylandClient()
    {
        // 640x480 is a size the test client takes as asked; KWin places it where it likes.
        start(QStringLiteral(CORVALINT_TEST_CLIENT),
            { QStringLiteral("--class"), QStringLiteral("testapp-a,TestAppA"), QStringLiteral("--title"),
                QStringLiteral("Test A"), QStringLiteral("--geometry"), QStringLiteral("400x300+50+50") });
    }

    void startWaylandWindow()
    {
        start(QStringLiteral(CORVALINT_WAYLAND_TEST_WINDOW),
            { QStringLiteral("--app-id"), QStringLiteral("testapp-w"), QStringLiteral("--title"),
                QStringLiteral("Test W"), QStringLiteral("--size"), QStringLiteral("400x300") });
    }

    QRectF frameOf(const char *appId)
    {
        const auto window = windowOf(m_desktop->snapshot(), QLatin1String(appId));
        return window ? window->frame : QRectF();
    }

    DesktopWindow windowNamed(const char *appId)
    {
        return windowOf(m_desktop->snapshot(), QLatin1String(appId)).value_or(DesktopWindow());
    }

    QRectF monitorBounds(int index) const { return m_desktop->monitors().value(index).bounds; }
    QString monitorId(int index) const { return m_desktop->monitors().value(index).identifier.value_or(QString()); }

    bool noWindowsLeft()
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
        QTRY_VERIFY_WITH_TIMEOUT(noWindowsLeft(), 10000);
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
        const QString dir = qEnvironmentVariable("CORVALINT_KWIN_DESKTOP_DIR");
        QVERIFY2(loadEnvironment(dir + QStringLiteral("/env")), "the test desktop's env file is missing");
        QFile::remove(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        QVERIFY(KWinDesktop::sessionIsKWinWayland());
        QString error;
        m_desktop = KWinDesktop::connect(&error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_desktop->canControlWindows());
        m_clock = std::make_unique<QtAutomationClock>();
        m_service = std::make_unique<AutomationService>(*m_desktop, *m_clock);
        closeEverything();
    }

    void cleanup() { closeEverything(); }

    void monitorsAreTheTwoOutputsFirstOneFirst()
    {
        const QList<DesktopMonitor> monitors = m_desktop->monitors();
        QCOMPARE(monitors.size(), 2);
        QCOMPARE(monitors[0].bounds, QRectF(0, 0, 1920, 1080));
        QVERIFY(monitors[0].primary);
        QCOMPARE(monitors[1].bounds.left(), 1920.0);
        QCOMPARE(monitors[0].connector, QStringLiteral("Virtual-0"));
        QCOMPARE(monitors[1].connector, QStringLiteral("Virtual-1"));
        QVERIFY(monitors[0].identifier && monitors[1].identifier);
        QVERIFY(*monitors[0].identifier != *monitors[1].identifier);
        QCOMPARE(m_desktop->monitors()[1].identifier, monitors[1].identifier);
    }

    void captureMoveAwayAndLaunchRestoresEveryWindow()
    {
        startXwaylandClient();
        startWaylandWindow();
        QElapsedTimer shown;
        shown.start();
        for (const char *id : { "testapp-a", "testapp-w" })
            QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QLatin1String(id)), 10000);
        const DesktopWindow w = windowNamed("testapp-w");
        QCOMPARE(w.title, QStringLiteral("Test W"));
        QVERIFY(w.pid.has_value());
        QCOMPARE(w.desktop, std::optional<int>(0));

        // A on the second output, W maximised on the first.
        const QRectF onSecond(2000, 100, 700, 500);
        m_desktop->place(windowNamed("testapp-a").id, { onSecond, {}, std::nullopt });
        m_desktop->place(
            windowNamed("testapp-w").id, { QRectF(100, 100, 600, 400), { true, true, false, false }, std::nullopt });
        QTRY_VERIFY2(edgeError(frameOf("testapp-a"), onSecond) <= 1, qPrintable(describe(frameOf("testapp-a"))));
        QTRY_VERIFY(windowNamed("testapp-w").state.isMaximized());
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        QElapsedTimer captureTime;
        captureTime.start();
        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        const qint64 captureMs = captureTime.elapsed();
        QCOMPARE(captured.size(), 2);
        const auto a = entryFor(captured, QStringLiteral("testapp-a"));
        const auto wEntry = entryFor(captured, QStringLiteral("testapp-w"));
        QVERIFY(a && wEntry);
        QVERIFY(edgeError(QRectF(a->frameX, a->frameY, a->width, a->height), onSecond) <= 1);
        QCOMPARE(a->monitorID, std::optional(monitorId(1)));
        QVERIFY(wEntry->isMaximized);
        QCOMPARE(wEntry->monitorID, std::optional(monitorId(0)));

        // Away: A to the first output, W out of its maximised state onto the second.
        const QRectF away(300, 200, 500, 400);
        m_desktop->place(windowNamed("testapp-a").id, { away, {}, std::nullopt });
        m_desktop->place(windowNamed("testapp-w").id, { QRectF(2100, 300, 400, 300), {}, std::nullopt });
        QTRY_VERIFY(edgeError(frameOf("testapp-a"), away) <= 1);
        QTRY_VERIFY(!windowNamed("testapp-w").state.isMaximized());
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        // Back: the running applications are brought forward and placed.
        QElapsedTimer timer;
        timer.start();
        QCoro::waitFor(m_service->launchWorkspace(captured, false, false));
        QTRY_COMPARE_WITH_TIMEOUT(m_service->pendingPlacements(), 0, 10000);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const qint64 launchMs = timer.elapsed();
        QTRY_VERIFY(windowNamed("testapp-w").state.isMaximized());
        QTRY_VERIFY(monitorBounds(0).contains(windowNamed("testapp-w").frame));
        const double error = edgeError(frameOf("testapp-a"), onSecond);
        qInfo("frame error %.0f px, capture %lld ms, launch and placement %lld ms, corrections %d", error, captureMs,
            launchMs, m_desktop->correctionsSent());
        QVERIFY2(error <= 1, qPrintable(describe(frameOf("testapp-a"))));
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
        for (const char *id : { "testapp-a", "testapp-w" })
            QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QLatin1String(id)), 10000);

        // W full screen on the second output, A on the second desktop.
        const QRectF frameA(300, 200, 500, 400);
        m_desktop->place(
            windowNamed("testapp-w").id, { monitorBounds(1), { false, false, true, false }, std::nullopt });
        m_desktop->place(windowNamed("testapp-a").id, { frameA, {}, 1 });
        QTRY_VERIFY(windowNamed("testapp-w").state.fullScreen);
        QTRY_COMPARE(windowNamed("testapp-w").frame, monitorBounds(1));
        QTRY_COMPARE(windowNamed("testapp-a").desktop, std::optional<int>(1));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        const auto a = entryFor(captured, QStringLiteral("testapp-a"));
        const auto w = entryFor(captured, QStringLiteral("testapp-w"));
        QVERIFY(a && w);
        QVERIFY(w->isFullscreen);
        QCOMPARE(w->monitorID, std::optional(monitorId(1)));
        QCOMPARE(a->virtualDesktop, std::optional<int>(1));

        // Away: W out of full screen on the first output, A on the first desktop.
        m_desktop->place(windowNamed("testapp-w").id, { QRectF(100, 100, 400, 300), {}, std::nullopt });
        m_desktop->place(windowNamed("testapp-a").id, { frameA, {}, 0 });
        QTRY_VERIFY(!windowNamed("testapp-w").state.fullScreen);
        QTRY_COMPARE(windowNamed("testapp-a").desktop, std::optional<int>(0));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        QCoro::waitFor(m_service->launchWorkspace(captured, false, false));
        QTRY_COMPARE_WITH_TIMEOUT(m_service->pendingPlacements(), 0, 10000);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        QTRY_VERIFY(windowNamed("testapp-w").state.fullScreen);
        QTRY_COMPARE(windowNamed("testapp-w").frame, monitorBounds(1));
        QTRY_COMPARE(windowNamed("testapp-a").desktop, std::optional<int>(1));
        QVERIFY2(edgeError(frameOf("testapp-a"), frameA) <= 1, qPrintable(describe(frameOf("testapp-a"))));
    }

    void focusModeClosesTheOthersPolitely()
    {
        startXwaylandClient();
        startWaylandWindow();
        for (const char *id : { "testapp-a", "testapp-w" })
            QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QLatin1String(id)), 10000);
        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        const auto keep = entryFor(captured, QStringLiteral("testapp-w"));
        QVERIFY(keep);
        QFile::remove(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        QCoro::waitFor(m_service->launchWorkspace({ *keep }, false, true));
        QTRY_VERIFY_WITH_TIMEOUT(!windowOf(m_desktop->snapshot(), QStringLiteral("testapp-a")), 10000);
        QVERIFY(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-w")));
        QFile log(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("WM_DELETE_WINDOW"));
    }

    void launchFindsTheNewWindowByApplicationId()
    {
        QVERIFY(m_desktop->canLaunch(QStringLiteral("testapp-w")));
        std::optional<LaunchOutcome> outcome;
        m_desktop->launch({ QStringLiteral("testapp-w"), {} }, [&](const LaunchOutcome &o) { outcome = o; });
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), KWinDesktop::launchTimeoutMs + 2000);
        QVERIFY(outcome->started);
        QCOMPARE(outcome->appId, QStringLiteral("testapp-w"));
        QCOMPARE(outcome->windows.size(), 1);
        QCOMPARE(outcome->windows.front(), windowNamed("testapp-w").id);

        std::optional<LaunchOutcome> missing;
        m_desktop->launch({ QStringLiteral("no-such-application"), {} }, [&](const LaunchOutcome &o) { missing = o; });
        QTRY_VERIFY(missing.has_value());
        QVERIFY(!missing->started);
    }

    void closeApplicationAsksPolitely()
    {
        startXwaylandClient();
        startWaylandWindow();
        for (const char *id : { "testapp-a", "testapp-w" })
            QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QLatin1String(id)), 10000);
        const DesktopSnapshot snapshot = m_desktop->snapshot();
        for (const DesktopApplication &application : snapshot.applications)
            m_desktop->closeApplication(application);
        QTRY_VERIFY_WITH_TIMEOUT(noWindowsLeft(), 10000);
        for (auto &client : m_clients)
            QVERIFY(client->state() == QProcess::NotRunning || client->waitForFinished(5000));
        QFile log(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray lines = log.readAll();
        QVERIFY2(lines.contains("\"closeEvent\"") && lines.contains("WM_DELETE_WINDOW"), lines.constData());
    }

    void commandLineChoosesKWinAndCapturesAndLaunchesHere()
    {
        // The command line chooses this desktop by itself: a Wayland session with KWin on its bus.
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
        startWaylandWindow();
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-w")), 10000);
        const QRectF frame(2050, 150, 600, 400);
        m_desktop->place(windowNamed("testapp-w").id, { frame, {}, std::nullopt });
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        QTRY_VERIFY(edgeError(frameOf("testapp-w"), frame) <= 1);
        const auto captured = corvalint({ QStringLiteral("capture"), QStringLiteral("Here") });
        QCOMPARE(captured.first, 0);
        QVERIFY2(captured.second.contains(QLatin1String("with 1 entr")), qPrintable(captured.second));

        m_desktop->place(windowNamed("testapp-w").id, { QRectF(100, 100, 300, 200), {}, std::nullopt });
        QTRY_VERIFY(edgeError(frameOf("testapp-w"), QRectF(100, 100, 300, 200)) <= 1);
        // Our own read-back must be done: it would put the window back where we asked after the command line.
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const auto launched = corvalint(
            { QStringLiteral("--desktop"), QStringLiteral("kwin"), QStringLiteral("launch"), QStringLiteral("Here") });
        QVERIFY2(launched.first == 0, qPrintable(launched.second));
        QTest::qWaitFor([&] { return edgeError(frameOf("testapp-w"), frame) <= 1; }, 5000);
        QVERIFY2(edgeError(frameOf("testapp-w"), frame) <= 1,
            qPrintable(describe(frameOf("testapp-w")) + QLatin1Char(' ') + launched.second));
    }

    void anErrorInsideKWinComesBackAndAHungScriptTimesOut()
    {
        QString error;
        auto runner = KWinScriptRunner::open(&error);
        QVERIFY2(runner, qPrintable(error));
        QVERIFY(!runner->run(QStringLiteral("throw new Error('no such thing');"), &error));
        QVERIFY2(error.contains(QLatin1String("no such thing")), qPrintable(error));

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

QTEST_GUILESS_MAIN(TestKWinDesktop)
#include "tst_kwindesktop.moc"
