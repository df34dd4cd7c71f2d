#include "harnesssession.h"

#include "capturedentries.h"
#include "corvalintcommand.h"
#include "framecompare.h"
#include "harnessenvironment.h"

#include <QCoro/QCoroTask>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

HarnessSession::HarnessSession(DesktopPlatform &desktop, std::function<int()> placementsInFlight)
    : m_desktop(desktop)
    , m_placementsInFlight(std::move(placementsInFlight))
    , m_service(desktop, m_clock)
{
}

HarnessSession::~HarnessSession() = default;

QProcess *HarnessSession::start(const QString &program, const QStringList &arguments)
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

std::optional<DesktopWindow> HarnessSession::window(const QString &appId) const
{
    for (const DesktopApplication &application : m_desktop.snapshot().applications) {
        if (application.appId == appId && !application.windows.isEmpty())
            return application.windows.front();
    }
    return std::nullopt;
}

DesktopWindow HarnessSession::windowNamed(const QString &appId) const
{
    return window(appId).value_or(DesktopWindow());
}

QRectF HarnessSession::frameOf(const QString &appId) const
{
    const auto found = window(appId);
    return found ? found->frame : QRectF();
}

QRectF HarnessSession::monitorBounds(int index) const
{
    return m_desktop.monitors().value(index).bounds;
}

QString HarnessSession::monitorId(int index) const
{
    return m_desktop.monitors().value(index).identifier.value_or(QString());
}

void HarnessSession::place(const QString &appId, const QRectF &frame, WindowState state, std::optional<int> desktop)
{
    m_desktop.place(windowNamed(appId).id, { frame, state, desktop });
}

bool HarnessSession::noWindowsLeft() const
{
    const DesktopSnapshot snapshot = m_desktop.snapshot();
    for (const DesktopApplication &application : snapshot.applications) {
        if (!application.windows.isEmpty())
            return false;
    }
    return true;
}

void HarnessSession::waitForWindows(const QStringList &appIds, int timeoutMs)
{
    for (const QString &id : appIds)
        QTRY_VERIFY2_WITH_TIMEOUT(window(id), qPrintable(id), timeoutMs);
}

void HarnessSession::closeAllApplications()
{
    const DesktopSnapshot snapshot = m_desktop.snapshot();
    for (const DesktopApplication &application : snapshot.applications)
        m_desktop.closeApplication(application);
    QTRY_VERIFY_WITH_TIMEOUT(noWindowsLeft(), 10000);
}

void HarnessSession::closeEverything()
{
    closeAllApplications();
    for (auto &client : m_clients) {
        if (client->state() != QProcess::NotRunning && !client->waitForFinished(5000)) {
            client->kill();
            client->waitForFinished(2000);
        }
    }
    m_clients.clear();
}

void HarnessSession::launchAndSettle(const QList<EntryData> &entries, int timeoutMs)
{
    QCoro::waitFor(m_service.launchWorkspace(entries, false, false));
    QTRY_COMPARE_WITH_TIMEOUT(m_service.pendingPlacements(), 0, timeoutMs);
    QTRY_COMPARE(placementsInFlight(), 0);
}

std::optional<LaunchOutcome> HarnessSession::launch(const LaunchRequest &request, int timeoutMs)
{
    // Shared with the completion, which may come after the wait has given up.
    auto outcome = std::make_shared<std::optional<LaunchOutcome>>();
    m_desktop.launch(request, [outcome](const LaunchOutcome &reported) { *outcome = reported; });
    (void)QTest::qWaitFor([&] { return outcome->has_value(); }, timeoutMs);
    return *outcome;
}

void HarnessSession::checkLaunchFindsItsWindow(const QString &appId, int timeoutMs)
{
    QVERIFY(m_desktop.canLaunch(appId));
    const auto outcome = launch({ appId, {} }, timeoutMs);
    QVERIFY(outcome);
    QVERIFY2(outcome->started, qPrintable(appId));
    QCOMPARE(outcome->appId, appId);
    QCOMPARE(outcome->windows.size(), 1);
    QCOMPARE(outcome->windows.front(), windowNamed(appId).id);
}

void HarnessSession::checkWindowNamesItsDocument(
    const QString &appId, const std::function<void(const QString &)> &startTitled)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bob's notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    startTitled(path);
    waitForWindows({ appId }, 15000);
    const DesktopWindow window = windowNamed(appId);
    QCOMPARE(window.title, path);
    QVERIFY(window.document);
    QCOMPARE(QUrl(*window.document).toLocalFile(), path);
}

void HarnessSession::checkUnknownApplicationDoesNotStart()
{
    const auto missing = launch({ QStringLiteral("no-such-application"), {} }, 5000);
    QVERIFY(missing);
    QVERIFY(!missing->started);
}

void HarnessSession::checkFocusModeKeepsOnly(const QString &kept, const QStringList &closed)
{
    const QList<EntryData> captured = m_service.captureCurrentDesktop();
    const auto keep = entryFor(captured, kept);
    QVERIFY(keep);
    clearClientLog();
    QCoro::waitFor(m_service.launchWorkspace({ *keep }, false, true));
    for (const QString &id : closed)
        QTRY_VERIFY2_WITH_TIMEOUT(!window(id), qPrintable(id), 10000);
    QVERIFY(window(kept));
}

void HarnessSession::checkFullScreenAndDesktopComeBack(
    const QString &fullScreen, const QString &onSecondDesktop, int launchTimeoutMs)
{
    const QRectF frame(300, 200, 500, 400);
    place(fullScreen, monitorBounds(1), { false, false, true, false });
    place(onSecondDesktop, frame, {}, 1);
    QTRY_VERIFY(windowNamed(fullScreen).state.fullScreen);
    QTRY_COMPARE(windowNamed(fullScreen).frame, monitorBounds(1));
    QTRY_COMPARE(windowNamed(onSecondDesktop).desktop, std::optional<int>(1));
    QTRY_COMPARE(placementsInFlight(), 0);

    const QList<EntryData> captured = m_service.captureCurrentDesktop();
    const auto full = entryFor(captured, fullScreen);
    const auto second = entryFor(captured, onSecondDesktop);
    QVERIFY(full && second);
    QVERIFY(full->isFullscreen);
    QCOMPARE(full->monitorID, std::optional(monitorId(1)));
    QCOMPARE(second->virtualDesktop, std::optional<int>(1));

    // Away: out of full screen on the first monitor, onto the first desktop.
    place(fullScreen, QRectF(100, 100, 400, 300));
    place(onSecondDesktop, frame, {}, 0);
    QTRY_VERIFY(!windowNamed(fullScreen).state.fullScreen);
    QTRY_COMPARE(windowNamed(onSecondDesktop).desktop, std::optional<int>(0));
    QTRY_COMPARE(placementsInFlight(), 0);

    launchAndSettle(captured, launchTimeoutMs);
    QTRY_VERIFY(windowNamed(fullScreen).state.fullScreen);
    QTRY_COMPARE(windowNamed(fullScreen).frame, monitorBounds(1));
    QTRY_COMPARE(windowNamed(onSecondDesktop).desktop, std::optional<int>(1));
    QVERIFY2(edgeError(frameOf(onSecondDesktop), frame) <= 1, qPrintable(describe(frameOf(onSecondDesktop))));
}

void HarnessSession::checkCommandLineRoundTrip(const QString &appId, const QStringList &launchOptions)
{
    QTemporaryDir store;
    QVERIFY(store.isValid());
    const QRectF frame(2050, 150, 600, 400);
    place(appId, frame);
    QTRY_COMPARE(placementsInFlight(), 0);
    QTRY_VERIFY(edgeError(frameOf(appId), frame) <= 1);
    const CommandResult captured = runCorvalint({ QStringLiteral("capture"), QStringLiteral("Here") }, store.path());
    QCOMPARE(captured.exitCode, 0);
    QVERIFY2(captured.output.contains(QLatin1String("with 1 entries"))
            || captured.output.contains(QLatin1String("with 1 entry")),
        qPrintable(captured.output));

    const QRectF away(100, 100, 300, 200);
    place(appId, away);
    QTRY_VERIFY(edgeError(frameOf(appId), away) <= 1);
    // Our own read-back must be done: it would put the window back where we asked after the command line.
    QTRY_COMPARE(placementsInFlight(), 0);
    const CommandResult launched
        = runCorvalint(launchOptions + QStringList { QStringLiteral("launch"), QStringLiteral("Here") }, store.path());
    QVERIFY2(launched.exitCode == 0, qPrintable(launched.output));
    (void)QTest::qWaitFor([&] { return edgeError(frameOf(appId), frame) <= 1; }, 5000);
    QVERIFY2(edgeError(frameOf(appId), frame) <= 1,
        qPrintable(describe(frameOf(appId)) + QLatin1Char(' ') + launched.output));
}
