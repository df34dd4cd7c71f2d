// The GNOME desktop against a real headless GNOME Shell 43 started by scripts/test-gnome-desktop with Corvalint's
// extension: two virtual monitors of different sizes, a Qt window on Wayland, a GTK 3 window on Wayland and an
// xterm through Xwayland; capture, moving away, launching, new windows by application id, polite close, a monitor
// that became smaller, the command line, and the extension switched off and on again.
#include "automation/framemapping.h"
#include "platform/desktoptestsupport/capturedentries.h"
#include "platform/desktoptestsupport/corvalintcommand.h"
#include "platform/desktoptestsupport/framecompare.h"
#include "platform/desktoptestsupport/harnessenvironment.h"
#include "platform/desktoptestsupport/harnesssession.h"
#include "platform/gnome/gnomedesktop.h"
#include "platform/gnome/gnomeshellclient.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString appW = QStringLiteral("testapp-w"); // Qt on Wayland
const QString appG = QStringLiteral("net.testapps.TestAppG"); // GTK 3 on Wayland
const QString appX = QStringLiteral("testapp-x"); // xterm through Xwayland

/// xterm keeps its size to whole character cells: its corner is exact, its size within one cell less.
bool withinCells(const QRectF &now, const QRectF &goal)
{
    constexpr double cell = 20;
    return std::abs(now.x() - goal.x()) <= 1 && std::abs(now.y() - goal.y()) <= 1 && now.width() <= goal.width() + 1
        && now.width() > goal.width() - cell && now.height() <= goal.height() + 1
        && now.height() > goal.height() - cell;
}

} // namespace

class TestGnomeDesktop : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GnomeDesktop> m_desktop;
    std::unique_ptr<HarnessSession> m_session;

    void startQtWindow()
    {
        QVERIFY(m_session->start(QStringLiteral(CORVALINT_WAYLAND_TEST_WINDOW),
            { QStringLiteral("--app-id"), appW, QStringLiteral("--title"), QStringLiteral("Test W"),
                QStringLiteral("--size"), QStringLiteral("400x300") }));
    }

    void startGtkWindow()
    {
        QVERIFY(m_session->start(QStringLiteral("/usr/bin/python3"),
            { qEnvironmentVariable("CORVALINT_GNOME_DESKTOP_DIR") + QStringLiteral("/bin/gtkwindow.py") }));
    }

    QProcess *startXterm()
    {
        return m_session->start(QStringLiteral("xterm"),
            { QStringLiteral("-class"), QStringLiteral("TestAppX"), QStringLiteral("-T"), QStringLiteral("Test X"),
                QStringLiteral("-geometry"), QStringLiteral("60x20") });
    }

    void waitForWindows(const QStringList &ids) { m_session->waitForWindows(ids, 15000); }
    QRectF frameOf(const QString &appId) { return m_session->frameOf(appId); }
    DesktopWindow windowNamed(const QString &appId) { return m_session->windowNamed(appId); }
    QRectF monitorBounds(int index) const { return m_session->monitorBounds(index); }
    QString monitorId(int index) const { return m_session->monitorId(index); }

private slots:
    void initTestCase()
    {
        const QString dir = qEnvironmentVariable("CORVALINT_GNOME_DESKTOP_DIR");
        QVERIFY2(loadHarnessEnvironment(dir + QStringLiteral("/env")), "the test desktop's env file is missing");
        clearClientLog();
        QVERIFY(GnomeDesktop::sessionIsGnomeWayland());
        QString error;
        m_desktop = GnomeDesktop::connect(true, &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_desktop->canControlWindows());
        QVERIFY(m_desktop->extensionProblem().isEmpty());
        m_session = std::make_unique<HarnessSession>(*m_desktop, [this] { return m_desktop->placementsInFlight(); });
        m_session->closeEverything();
    }

    void cleanup() { m_session->closeEverything(); }

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
        waitForWindows({ appW, appG, appX });
        const DesktopWindow w = windowNamed(appW);
        QCOMPARE(w.title, QStringLiteral("Test W"));
        QVERIFY(w.pid.has_value());
        QCOMPARE(w.desktop, std::optional<int>(0));
        QCOMPARE(w.kind, WindowKind::normal);
        QCOMPARE(windowNamed(appG).title, QStringLiteral("Test G"));
        QCOMPARE(windowNamed(appX).title, QStringLiteral("Test X"));
        QVERIFY(windowNamed(appX).frame.width() > 100);
    }

    void windowsNameTheDocumentTheyShow()
    {
        // Editors title their windows with the file; the shell itself names no document.
        m_session->checkWindowNamesItsDocument(appW, [this](const QString &title) {
            QVERIFY(m_session->start(QStringLiteral(CORVALINT_WAYLAND_TEST_WINDOW),
                { QStringLiteral("--app-id"), appW, QStringLiteral("--title"), title, QStringLiteral("--size"),
                    QStringLiteral("400x300") }));
        });
    }

    void captureMoveAwayAndLaunchRestoresEveryWindow()
    {
        startQtWindow();
        startGtkWindow();
        QVERIFY(startXterm());
        waitForWindows({ appW, appG, appX });

        // W on the second monitor, X on the first, G maximised on the second.
        const QRectF frameW(2000, 100, 700, 500);
        const QRectF frameX(300, 300, 600, 400);
        m_session->place(appW, frameW);
        m_session->place(appX, frameX);
        m_session->place(appG, QRectF(2100, 200, 500, 400), { true, true, false, false });
        QTRY_VERIFY2(edgeError(frameOf(appW), frameW) <= 1, qPrintable(describe(frameOf(appW))));
        QTRY_VERIFY2(withinCells(frameOf(appX), frameX), qPrintable(describe(frameOf(appX))));
        QTRY_VERIFY(windowNamed(appG).state.isMaximized());
        QTRY_COMPARE(windowNamed(appG).frame, monitorBounds(1));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        QElapsedTimer captureTime;
        captureTime.start();
        const QList<EntryData> captured = m_session->service().captureCurrentDesktop();
        const qint64 captureMs = captureTime.elapsed();
        QCOMPARE(captured.size(), 3);
        const auto w = entryFor(captured, appW);
        const auto g = entryFor(captured, appG);
        const auto x = entryFor(captured, appX);
        QVERIFY(w && g && x);
        QVERIFY(edgeError(savedFrame(*w), frameW) <= 1);
        QCOMPARE(w->monitorID, std::optional(monitorId(1)));
        QCOMPARE(x->monitorID, std::optional(monitorId(0)));
        QVERIFY(g->isMaximized);
        QCOMPARE(g->monitorID, std::optional(monitorId(1)));

        // Away: W and X swap monitors, G out of its maximised state onto the first.
        m_session->place(appW, QRectF(200, 200, 500, 400));
        m_session->place(appX, QRectF(2200, 300, 500, 300));
        m_session->place(appG, QRectF(100, 500, 400, 300));
        QTRY_VERIFY(edgeError(frameOf(appW), QRectF(200, 200, 500, 400)) <= 1);
        QTRY_VERIFY(!windowNamed(appG).state.isMaximized());
        QTRY_VERIFY(frameOf(appX).left() >= 1920);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);

        // Back: the running applications are brought forward and placed.
        QElapsedTimer timer;
        timer.start();
        m_session->launchAndSettle(captured, 15000);
        const qint64 launchMs = timer.elapsed();
        QTRY_VERIFY(windowNamed(appG).state.isMaximized());
        QTRY_COMPARE(windowNamed(appG).frame, monitorBounds(1));
        QTRY_VERIFY2(withinCells(frameOf(appX), frameX), qPrintable(describe(frameOf(appX))));
        const double error = edgeError(frameOf(appW), frameW);
        qInfo("frame error %.0f px, capture %lld ms, launch and placement %lld ms, corrections %d, round trips %d",
            error, captureMs, launchMs, m_desktop->correctionsSent(), m_desktop->client().roundTrips());
        QVERIFY2(error <= 1, qPrintable(describe(frameOf(appW))));
    }

    void aMonitorThatBecameSmallerGetsTheWindowScaled()
    {
        // Captured on the large first monitor; at launch the entry's monitor is the smaller second one. The capture
        // is edited to say so (the virtual monitors cannot change size while the shell runs): its monitor
        // identifier and saved monitor rectangle become the second monitor's, as it would have been at 1920x1080.
        startQtWindow();
        waitForWindows({ appW });
        const QRectF onFirst(100, 100, 1600, 900);
        m_session->place(appW, onFirst);
        QTRY_VERIFY(edgeError(frameOf(appW), onFirst) <= 1);
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const QList<EntryData> captured = m_session->service().captureCurrentDesktop();
        auto entry = entryFor(captured, appW);
        QVERIFY(entry);
        QCOMPARE(entry->monitorID, std::optional(monitorId(0)));
        QCOMPARE(entry->originalScreenWidth, std::optional<double>(1920));
        entry->monitorID = monitorId(1);
        entry->frameX += 1920;
        entry->originalScreenX = 1920;
        const QRectF expected = targetFrame(*entry, monitorBounds(1));
        QVERIFY(monitorBounds(1).contains(expected));
        QVERIFY(expected.width() < onFirst.width());

        m_session->launchAndSettle({ *entry }, 15000);
        QTRY_VERIFY2(edgeError(frameOf(appW), expected) <= 1.5,
            qPrintable(describe(frameOf(appW)) + QStringLiteral(" for ") + describe(expected)));
    }

    void fullScreenAndWorkspacesComeBack()
    {
        startQtWindow();
        startGtkWindow();
        waitForWindows({ appW, appG });
        m_session->checkFullScreenAndDesktopComeBack(appW, appG, 15000);
    }

    void focusModeClosesTheOthersPolitely()
    {
        startQtWindow();
        startGtkWindow();
        QProcess *xterm = startXterm();
        QVERIFY(xterm);
        waitForWindows({ appW, appG, appX });
        m_session->checkFocusModeKeepsOnly(appW, { appG, appX });
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
        waitForWindows({ appW, appG });
        clearClientLog();
        m_session->closeAllApplications();
        for (const auto &client : m_session->clients()) {
            QVERIFY(client->state() == QProcess::NotRunning || client->waitForFinished(5000));
            QCOMPARE(client->exitStatus(), QProcess::NormalExit);
        }
        const QByteArray lines = clientLog();
        QVERIFY2(lines.contains("\"closeEvent\"") && lines.contains("\"delete-event\""), lines.constData());
    }

    void launchFindsTheNewWindowByApplicationId()
    {
        for (const QString &id : { appW, appG, appX }) {
            QElapsedTimer timer;
            timer.start();
            m_session->checkLaunchFindsItsWindow(id, GnomeDesktop::launchTimeoutMs + 2000);
            // Found when the extension said so, not at the time limit.
            QVERIFY(timer.elapsed() < GnomeDesktop::launchTimeoutMs);
        }
        m_session->checkUnknownApplicationDoesNotStart();
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
        startQtWindow();
        waitForWindows({ appW });
        // The command line chooses this desktop by itself: a Wayland session with org.gnome.Shell on its bus.
        m_session->checkCommandLineRoundTrip(appW, { QStringLiteral("--desktop"), QStringLiteral("gnome") });
    }

    void theAppShowsItsMenuInTheTopBarInsteadOfATray()
    {
        QTemporaryDir store;
        QVERIFY(store.isValid());
        startQtWindow();
        waitForWindows({ appW });
        const auto captured = runCorvalint({ QStringLiteral("capture"), QStringLiteral("Menütest") }, store.path());
        QCOMPARE(captured.exitCode, 0);

        QProcess app;
        app.setProcessEnvironment(corvalintEnvironment(store.path()));
        app.start(corvalintProgram(), {});
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
        const auto refused = runCorvalint({ QStringLiteral("capture"), QStringLiteral("Off") }, store.path());
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.output.contains(QLatin1String("switched off"))
                && refused.output.contains(QLatin1String("corvalint gnome-extension install")),
            qPrintable(refused.output));

        // Installing for the user switches it on in the running shell, which knows it already.
        const auto installed
            = runCorvalint({ QStringLiteral("gnome-extension"), QStringLiteral("install") }, store.path());
        if (installed.exitCode != 0)
            extensions("EnableExtension");
        QCOMPARE(installed.exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_desktop->canControlWindows(), 5000);
        QTRY_VERIFY(m_desktop->extensionProblem().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGnomeDesktop)
#include "tst_gnomedesktop.moc"
