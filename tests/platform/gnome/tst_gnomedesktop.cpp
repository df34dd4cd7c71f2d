// The GNOME desktop against a real headless GNOME Shell 43 started by scripts/test-gnome-desktop with Corvalint's
// extension: two virtual monitors of different sizes, a Qt window on Wayland, a GTK 3 window on Wayland and an
// xterm through Xwayland; capture, moving away, launching, new windows by application id, polite close, a monitor
// that became smaller, the command line, and the extension switched off and on again.
#include "automation/automationservice.h"
#include "automation/framemapping.h"
#include "automation/qtautomationclock.h"
#include "platform/gnome/gnomedesktop.h"
#include "platform/gnome/gnomeshellclient.h"

#include <QCoro/QCoroTask>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
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

/// xterm keeps its size to whole character cells: its corner is exact, its size within one cell less.
bool withinCells(const QRectF &now, const QRectF &goal)
{
    constexpr double cell = 20;
    return std::abs(now.x() - goal.x()) <= 1 && std::abs(now.y() - goal.y()) <= 1 && now.width() <= goal.width() + 1
        && now.width() > goal.width() - cell && now.height() <= goal.height() + 1
        && now.height() > goal.height() - cell;
}

QString describe(const QRectF &frame)
{
    return QStringLiteral("frame %1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

QByteArray clientLog()
{
    QFile log(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

} // namespace

class TestGnomeDesktop : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GnomeDesktop> m_desktop;
    std::unique_ptr<QtAutomationClock> m_clock;
    std::unique_ptr<AutomationService> m_service;
    std::vector<std::unique_ptr<QProcess>> m_clients;

    QProcess *start(const QString &program, const QStringList &arguments)
    {
        auto client = std::make_unique<QProcess>();
        client->setProgram(program);
        client->setArguments(arguments);
        client->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client->start();
        if (!client->waitForStarted())
            return nullptr;
        m_clients.push_back(std::move(client));
        return m_clients.back().get();
    }

    void startQtWindow()
    {
        QVERIFY(start(QStringLiteral(CORVALINT_WAYLAND_TEST_WINDOW),
            { QStringLiteral("--app-id"), QStringLiteral("testapp-w"), QStringLiteral("--title"),
                QStringLiteral("Test W"), QStringLiteral("--size"), QStringLiteral("400x300") }));
    }

    void startGtkWindow()
    {
        QVERIFY(start(QStringLiteral("/usr/bin/python3"),
            { qEnvironmentVariable("CORVALINT_GNOME_DESKTOP_DIR") + QStringLiteral("/bin/gtkwindow.py") }));
    }

    QProcess *startXterm()
    {
        return start(QStringLiteral("xterm"),
            { QStringLiteral("-class"), QStringLiteral("TestAppX"), QStringLiteral("-T"), QStringLiteral("Test X"),
                QStringLiteral("-geometry"), QStringLiteral("60x20") });
    }

    void waitForWindows(const QStringList &ids)
    {
        for (const QString &id : ids)
            QTRY_VERIFY2_WITH_TIMEOUT(windowOf(m_desktop->snapshot(), id), qPrintable(id), 15000);
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

    static std::pair<int, QString> corvalint(const QStringList &arguments, const QString &store)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVALINT_DATA_DIR"), store);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(CORVALINT_BINARY), arguments);
        process.waitForFinished(30000);
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()) };
    }

private slots:
    void initTestCase()
    {
        const QString dir = qEnvironmentVariable("CORVALINT_GNOME_DESKTOP_DIR");
        QVERIFY2(loadEnvironment(dir + QStringLiteral("/env")), "the test desktop's env file is missing");
        QFile::remove(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        QVERIFY(GnomeDesktop::sessionIsGnomeWayland());
        QString error;
        m_desktop = GnomeDesktop::connect(true, &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_desktop->canControlWindows());
        QVERIFY(m_desktop->extensionProblem().isEmpty());
        m_clock = std::make_unique<QtAutomationClock>();
        m_service = std::make_unique<AutomationService>(*m_desktop, *m_clock);
        closeEverything();
    }

    void cleanup() { closeEverything(); }

    void monitorsAreTheTwoVirtualMonitorsPrimaryFirst()
    {
        const QList<DesktopMonitor> monitors = m_desktop->monitors();
        QCOMPARE(monitors.size(), 2);
        QCOMPARE(monitors[0].bounds, QRectF(0, 0, 1920, 1080));
        QVERIFY(monitors[0].primary);
        QCOMPARE(monitors[1].bounds, QRectF(1920, 0, 1280, 1024));
        QVERIFY(!monitors[1].primary);
        QCOMPARE(monitors[0].connector, QStringLiteral("Meta-0"));
        QCOMPARE(monitors[1].connector, QStringLiteral("Meta-1"));
        QVERIFY(monitors[0].identifier && monitors[1].identifier);
        QVERIFY(*monitors[0].identifier != *monitors[1].identifier);
        // Stable: a second connection (as after a restart) names them alike.
        QString error;
        auto again = GnomeDesktop::connect(true, &error);
        QVERIFY2(again, qPrintable(error));
        QCOMPARE(again->monitors()[1].identifier, monitors[1].identifier);
    }

    void threeKindsOfWindowAreListedWithTheirIds()
    {
        startQtWindow();
        startGtkWindow();
        QVERIFY(startXterm());
        waitForWindows(
            { QStringLiteral("testapp-w"), QStringLiteral("net.testapps.TestAppG"), QStringLiteral("testapp-x") });
        const DesktopWindow w = windowNamed("testapp-w");
        QCOMPARE(w.title, QStringLiteral("Test W"));
        QVERIFY(w.pid.has_value());
        QCOMPARE(w.desktop, std::optional<int>(0));
        QCOMPARE(w.kind, WindowKind::normal);
        QCOMPARE(windowNamed("net.testapps.TestAppG").title, QStringLiteral("Test G"));
        QCOMPARE(windowNamed("testapp-x").title, QStringLiteral("Test X"));
        QVERIFY(windowNamed("testapp-x").frame.width() > 100);
    }

    void captureMoveAwayAndLaunchRestoresEveryWindow()
    {
        startQtWindow();
        startGtkWindow();
        QVERIFY(startXterm());
        waitForWindows(
            { QStringLiteral("testapp-w"), QStringLiteral("net.testapps.TestAppG"), QStringLiteral("testapp-x") });

        // W on the second monitor, X on the first, G maximised on the second.
        const QRectF frameW(2000, 100, 700, 500);
        const QRectF frameX(300, 300, 600, 400);
        m_desktop->place(windowNamed("testapp-w").id, { frameW, {}, std::nullopt });
        m_desktop->place(windowNamed("testapp-x").id, { frameX, {}, std::nullopt });
        m_desktop->place(windowNamed("net.testapps.TestAppG").id,
            { QRectF(2100, 200, 500, 400), { true, true, false, false }, std::nullopt });
        QTRY_VERIFY2(edgeError(frameOf("testapp-w"), frameW) <= 1, qPrintable(describe(frameOf("testapp-w"))));
        QTRY_VERIFY2(withinCells(frameOf("testapp-x"), frameX), qPrintable(describe(frameOf("testapp-x"))));
        QTRY_VERIFY(windowNamed("net.testapps.TestAppG").state.isMaximized());
        QTRY_COMPARE(windowNamed("net.testapps.TestAppG").frame, monitorBounds(1));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        QElapsedTimer captureTime;
        captureTime.start();
        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        const qint64 captureMs = captureTime.elapsed();
        QCOMPARE(captured.size(), 3);
        const auto w = entryFor(captured, QStringLiteral("testapp-w"));
        const auto g = entryFor(captured, QStringLiteral("net.testapps.TestAppG"));
        const auto x = entryFor(captured, QStringLiteral("testapp-x"));
        QVERIFY(w && g && x);
        QVERIFY(edgeError(QRectF(w->frameX, w->frameY, w->width, w->height), frameW) <= 1);
        QCOMPARE(w->monitorID, std::optional(monitorId(1)));
        QCOMPARE(x->monitorID, std::optional(monitorId(0)));
        QVERIFY(g->isMaximized);
        QCOMPARE(g->monitorID, std::optional(monitorId(1)));

        // Away: W and X swap monitors, G out of its maximised state onto the first.
        m_desktop->place(windowNamed("testapp-w").id, { QRectF(200, 200, 500, 400), {}, std::nullopt });
        m_desktop->place(windowNamed("testapp-x").id, { QRectF(2200, 300, 500, 300), {}, std::nullopt });
        m_desktop->place(windowNamed("net.testapps.TestAppG").id, { QRectF(100, 500, 400, 300), {}, std::nullopt });
        QTRY_VERIFY(edgeError(frameOf("testapp-w"), QRectF(200, 200, 500, 400)) <= 1);
        QTRY_VERIFY(!windowNamed("net.testapps.TestAppG").state.isMaximized());
        QTRY_VERIFY(frameOf("testapp-x").left() >= 1920);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        // Back: the running applications are brought forward and placed.
        QElapsedTimer timer;
        timer.start();
        QCoro::waitFor(m_service->launchWorkspace(captured, false, false));
        QTRY_COMPARE_WITH_TIMEOUT(m_service->pendingPlacements(), 0, 15000);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const qint64 launchMs = timer.elapsed();
        QTRY_VERIFY(windowNamed("net.testapps.TestAppG").state.isMaximized());
        QTRY_COMPARE(windowNamed("net.testapps.TestAppG").frame, monitorBounds(1));
        QTRY_VERIFY2(withinCells(frameOf("testapp-x"), frameX), qPrintable(describe(frameOf("testapp-x"))));
        const double error = edgeError(frameOf("testapp-w"), frameW);
        qInfo("frame error %.0f px, capture %lld ms, launch and placement %lld ms, corrections %d, round trips %d",
            error, captureMs, launchMs, m_desktop->correctionsSent(), m_desktop->client().roundTrips());
        QVERIFY2(error <= 1, qPrintable(describe(frameOf("testapp-w"))));
    }

    void aMonitorThatBecameSmallerGetsTheWindowScaled()
    {
        // Captured on the large first monitor; at launch the entry's monitor is the smaller second one. The capture
        // is edited to say so (the virtual monitors cannot change size while the shell runs): its monitor
        // identifier and saved monitor rectangle become the second monitor's, as it would have been at 1920x1080.
        startQtWindow();
        waitForWindows({ QStringLiteral("testapp-w") });
        const QRectF onFirst(100, 100, 1600, 900);
        m_desktop->place(windowNamed("testapp-w").id, { onFirst, {}, std::nullopt });
        QTRY_VERIFY(edgeError(frameOf("testapp-w"), onFirst) <= 1);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        auto entry = entryFor(captured, QStringLiteral("testapp-w"));
        QVERIFY(entry);
        QCOMPARE(entry->monitorID, std::optional(monitorId(0)));
        QCOMPARE(entry->originalScreenWidth, std::optional<double>(1920));
        entry->monitorID = monitorId(1);
        entry->frameX += 1920;
        entry->originalScreenX = 1920;
        const QRectF expected = targetFrame(*entry, monitorBounds(1));
        QVERIFY(monitorBounds(1).contains(expected));
        QVERIFY(expected.width() < onFirst.width());

        QCoro::waitFor(m_service->launchWorkspace({ *entry }, false, false));
        QTRY_COMPARE_WITH_TIMEOUT(m_service->pendingPlacements(), 0, 15000);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        QTRY_VERIFY2(edgeError(frameOf("testapp-w"), expected) <= 1.5,
            qPrintable(describe(frameOf("testapp-w")) + QStringLiteral(" for ") + describe(expected)));
    }

    void fullScreenAndWorkspacesComeBack()
    {
        startQtWindow();
        startGtkWindow();
        waitForWindows({ QStringLiteral("testapp-w"), QStringLiteral("net.testapps.TestAppG") });
        const QRectF frameG(300, 200, 500, 400);
        m_desktop->place(
            windowNamed("testapp-w").id, { monitorBounds(1), { false, false, true, false }, std::nullopt });
        m_desktop->place(windowNamed("net.testapps.TestAppG").id, { frameG, {}, 1 });
        QTRY_VERIFY(windowNamed("testapp-w").state.fullScreen);
        QTRY_COMPARE(windowNamed("testapp-w").frame, monitorBounds(1));
        QTRY_COMPARE(windowNamed("net.testapps.TestAppG").desktop, std::optional<int>(1));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        const auto w = entryFor(captured, QStringLiteral("testapp-w"));
        const auto g = entryFor(captured, QStringLiteral("net.testapps.TestAppG"));
        QVERIFY(w && g);
        QVERIFY(w->isFullscreen);
        QCOMPARE(w->monitorID, std::optional(monitorId(1)));
        QCOMPARE(g->virtualDesktop, std::optional<int>(1));

        m_desktop->place(windowNamed("testapp-w").id, { QRectF(100, 100, 400, 300), {}, std::nullopt });
        m_desktop->place(windowNamed("net.testapps.TestAppG").id, { frameG, {}, 0 });
        QTRY_VERIFY(!windowNamed("testapp-w").state.fullScreen);
        QTRY_COMPARE(windowNamed("net.testapps.TestAppG").desktop, std::optional<int>(0));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        QCoro::waitFor(m_service->launchWorkspace(captured, false, false));
        QTRY_COMPARE_WITH_TIMEOUT(m_service->pendingPlacements(), 0, 15000);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        QTRY_VERIFY(windowNamed("testapp-w").state.fullScreen);
        QTRY_COMPARE(windowNamed("testapp-w").frame, monitorBounds(1));
        QTRY_COMPARE(windowNamed("net.testapps.TestAppG").desktop, std::optional<int>(1));
        QVERIFY2(edgeError(frameOf("net.testapps.TestAppG"), frameG) <= 1,
            qPrintable(describe(frameOf("net.testapps.TestAppG"))));
    }

    void focusModeClosesTheOthersPolitely()
    {
        startQtWindow();
        startGtkWindow();
        QProcess *xterm = startXterm();
        QVERIFY(xterm);
        waitForWindows(
            { QStringLiteral("testapp-w"), QStringLiteral("net.testapps.TestAppG"), QStringLiteral("testapp-x") });
        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        const auto keep = entryFor(captured, QStringLiteral("testapp-w"));
        QVERIFY(keep);
        QFile::remove(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        QCoro::waitFor(m_service->launchWorkspace({ *keep }, false, true));
        QTRY_VERIFY_WITH_TIMEOUT(!windowOf(m_desktop->snapshot(), QStringLiteral("net.testapps.TestAppG")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!windowOf(m_desktop->snapshot(), QStringLiteral("testapp-x")), 10000);
        QVERIFY(windowOf(m_desktop->snapshot(), QStringLiteral("testapp-w")));
        // GTK was asked (delete-event); xterm took WM_DELETE_WINDOW and ended by itself, not by a signal.
        QVERIFY2(clientLog().contains("\"delete-event\""), clientLog().constData());
        QVERIFY(xterm->state() == QProcess::NotRunning || xterm->waitForFinished(5000));
        QCOMPARE(xterm->exitStatus(), QProcess::NormalExit);
        QVERIFY(!clientLog().contains("\"closeEvent\""));
    }

    void closeApplicationAsksPolitely()
    {
        startQtWindow();
        startGtkWindow();
        waitForWindows({ QStringLiteral("testapp-w"), QStringLiteral("net.testapps.TestAppG") });
        QFile::remove(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
        const DesktopSnapshot snapshot = m_desktop->snapshot();
        for (const DesktopApplication &application : snapshot.applications)
            m_desktop->closeApplication(application);
        QTRY_VERIFY_WITH_TIMEOUT(noWindowsLeft(), 10000);
        for (auto &client : m_clients) {
            QVERIFY(client->state() == QProcess::NotRunning || client->waitForFinished(5000));
            QCOMPARE(client->exitStatus(), QProcess::NormalExit);
        }
        const QByteArray lines = clientLog();
        QVERIFY2(lines.contains("\"closeEvent\"") && lines.contains("\"delete-event\""), lines.constData());
    }

    void launchFindsTheNewWindowByApplicationId()
    {
        for (const char *id : { "testapp-w", "net.testapps.TestAppG", "testapp-x" }) {
            QVERIFY(m_desktop->canLaunch(QLatin1String(id)));
            std::optional<LaunchOutcome> outcome;
            QElapsedTimer timer;
            timer.start();
            m_desktop->launch({ QLatin1String(id), {} }, [&](const LaunchOutcome &o) { outcome = o; });
            QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), GnomeDesktop::launchTimeoutMs + 2000);
            QVERIFY2(outcome->started, id);
            QCOMPARE(outcome->appId, QLatin1String(id));
            QCOMPARE(outcome->windows.size(), 1);
            QCOMPARE(outcome->windows.front(), windowNamed(id).id);
            // Found when the extension said so, not at the time limit.
            QVERIFY(timer.elapsed() < GnomeDesktop::launchTimeoutMs);
        }
        std::optional<LaunchOutcome> missing;
        m_desktop->launch({ QStringLiteral("no-such-application"), {} }, [&](const LaunchOutcome &o) { missing = o; });
        QTRY_VERIFY(missing.has_value());
        QVERIFY(!missing->started);
    }

    void badArgumentsComeBackAsErrors()
    {
        GnomeShellClient client(QDBusConnection::sessionBus(), false);
        QString error;
        QVERIFY(!client.place(1, QRect(10, 10, 100, 100), 99, GnomeShellClient::keepWorkspace, &error));
        QVERIFY2(error.contains(QLatin1String("invalid argument: state")), qPrintable(error));
        QVERIFY(!client.place(1, QRect(10, 10, 100, 100), 0, 400, &error));
        QVERIFY2(error.contains(QLatin1String("invalid argument: workspace")), qPrintable(error));
        QVERIFY(!client.place(0, QRect(10, 10, 100, 100), 0, GnomeShellClient::keepWorkspace, &error));
        QVERIFY2(error.contains(QLatin1String("window id")), qPrintable(error));
        QVERIFY(!client.setMenu("[1, 2", &error));
        QVERIFY2(error.contains(QLatin1String("invalid argument")), qPrintable(error));
        // A window that is not there is no error, only not found.
        error.clear();
        QVERIFY(!client.place(123456789, QRect(10, 10, 100, 100), 0, GnomeShellClient::keepWorkspace, &error));
        QVERIFY(error.isEmpty());
        QCOMPARE(client.close({ 123456789 }, &error), std::optional<uint>(0));
        QCOMPARE(client.timeouts(), 0);
        // The shell still answers.
        QVERIFY(client.desktop(&error));
    }

    void commandLineChoosesGnomeAndCapturesAndLaunchesHere()
    {
        QTemporaryDir store;
        QVERIFY(store.isValid());
        startQtWindow();
        waitForWindows({ QStringLiteral("testapp-w") });
        const QRectF frame(2050, 150, 600, 400);
        m_desktop->place(windowNamed("testapp-w").id, { frame, {}, std::nullopt });
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        QTRY_VERIFY(edgeError(frameOf("testapp-w"), frame) <= 1);
        // The command line chooses this desktop by itself: a Wayland session with org.gnome.Shell on its bus.
        const auto captured = corvalint({ QStringLiteral("capture"), QStringLiteral("Here") }, store.path());
        QCOMPARE(captured.first, 0);
        QVERIFY2(captured.second.contains(QLatin1String("with 1 entr")), qPrintable(captured.second));

        m_desktop->place(windowNamed("testapp-w").id, { QRectF(100, 100, 300, 200), {}, std::nullopt });
        QTRY_VERIFY(edgeError(frameOf("testapp-w"), QRectF(100, 100, 300, 200)) <= 1);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const auto launched = corvalint(
            { QStringLiteral("--desktop"), QStringLiteral("gnome"), QStringLiteral("launch"), QStringLiteral("Here") },
            store.path());
        QVERIFY2(launched.first == 0, qPrintable(launched.second));
        QTest::qWaitFor([&] { return edgeError(frameOf("testapp-w"), frame) <= 1; }, 5000);
        QVERIFY2(edgeError(frameOf("testapp-w"), frame) <= 1,
            qPrintable(describe(frameOf("testapp-w")) + QLatin1Char(' ') + launched.second));
    }

    void theAppShowsItsMenuInTheTopBarInsteadOfATray()
    {
        QTemporaryDir store;
        QVERIFY(store.isValid());
        startQtWindow();
        waitForWindows({ QStringLiteral("testapp-w") });
        const auto captured = corvalint({ QStringLiteral("capture"), QStringLiteral("Menütest") }, store.path());
        QCOMPARE(captured.first, 0);

        QProcess app;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVALINT_DATA_DIR"), store.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        app.setProcessEnvironment(environment);
        app.start(QStringLiteral(CORVALINT_BINARY), {});
        QVERIFY(app.waitForStarted());
        const auto stopApp = qScopeGuard([&] {
            app.kill();
            app.waitForFinished(5000);
        });
        GnomeShellClient client(QDBusConnection::sessionBus(), false);
        QString error;
        auto shown = [&] {
            const auto menu = client.menu(&error);
            return menu ? QJsonDocument::fromJson(*menu).object() : QJsonObject();
        };
        QTRY_VERIFY_WITH_TIMEOUT(shown().value(QLatin1String("shown")).toBool(), 20000);
        const QJsonArray items = shown().value(QLatin1String("items")).toArray();
        QStringList texts;
        for (const QJsonValue &item : items)
            texts << item.toString();
        QCOMPARE(texts.value(0), QStringLiteral("Corvalint Workspaces"));
        // One window on one monitor, two monitors connected: the workspace carries the tray's monitor warning.
        QVERIFY2(texts.contains(QStringLiteral("Menütest (⚠️ Erfordert 1 Monitore)")),
            qPrintable(texts.join(QLatin1Char('|'))));
        QCOMPARE(texts.mid(texts.size() - 2),
            QStringList({ QStringLiteral("Corvalint öffnen"), QStringLiteral("Beenden") }));

        // A Corvalint that ends without a word (here: killed) leaves no button behind.
        app.kill();
        app.waitForFinished(5000);
        QTRY_VERIFY_WITH_TIMEOUT(!shown().value(QLatin1String("shown")).toBool(), 5000);
        // The tray was never asked for: the menu has one place.
        QVERIFY2(!app.readAllStandardError().contains("system tray"), "the app set up a tray icon as well");
    }

    void withTheExtensionSwitchedOffTheUserIsToldWhatToDo()
    {
        QTemporaryDir store;
        QVERIFY(store.isValid());
        auto extensions = [](const char *method) {
            QDBusMessage call
                = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
                    QStringLiteral("org.gnome.Shell.Extensions"), QLatin1String(method));
            call.setArguments({ QStringLiteral("corvalint@corvalint.org") });
            return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
        };
        QCOMPARE(extensions("DisableExtension").type(), QDBusMessage::ReplyMessage);
        QTRY_VERIFY(!m_desktop->canControlWindows());
        QTRY_VERIFY(!m_desktop->extensionProblem().isEmpty());
        // The settings page's help shows the same sentence.
        QVERIFY(m_desktop->controlInstruction().contains(QLatin1String("corvalint gnome-extension install")));
        QVERIFY(m_desktop->snapshot().applications.isEmpty());
        const auto refused = corvalint({ QStringLiteral("capture"), QStringLiteral("Off") }, store.path());
        QCOMPARE(refused.first, 1);
        QVERIFY2(refused.second.contains(QLatin1String("switched off"))
                && refused.second.contains(QLatin1String("corvalint gnome-extension install")),
            qPrintable(refused.second));

        // Installing for the user switches it on in the running shell, which knows it already.
        const auto installed
            = corvalint({ QStringLiteral("gnome-extension"), QStringLiteral("install") }, store.path());
        if (installed.first != 0)
            extensions("EnableExtension");
        QCOMPARE(installed.first, 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop->canControlWindows(), 5000);
        QTRY_VERIFY(m_desktop->extensionProblem().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGnomeDesktop)
#include "tst_gnomedesktop.moc"
