// Corvalint on the test desktop: one instance per session, the window brought
// back by a second start, the taskbar presence, the tray icon under a tray
// host, and command-line writes reaching the running application.
#include "../cli/clirunner.h"
#include "app/mainwindowhost.h"
#include "app/traymenu.h"
#include "model/workspacestore.h"
#include "platform/x11/x11desktop.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSystemTrayIcon>
#include <QWindow>
#include <optional>

namespace {

/// Runs a small X tool and returns its standard output (empty on failure).
QString tool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(2000);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

/// The mapped windows of `pid` titled exactly "Corvalint".
QStringList visibleMainWindows(qint64 pid)
{
    return tool(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(pid),
            QStringLiteral("--name"), QStringLiteral("^Corvalint$") })
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

/// Polls until the number of visible main windows of `pid` reads `count` three
/// times in a row, and returns them (empty when that never happens in time).
/// One xdotool reading can catch a window between map and reparenting, so a
/// single reading is not trusted.
std::optional<QStringList> settledMainWindows(qint64 pid, qsizetype count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    int agreeing = 0;
    QStringList windows;
    while (!deadline.hasExpired()) {
        windows = visibleMainWindows(pid);
        agreeing = windows.size() == count ? agreeing + 1 : 0;
        if (agreeing == 3)
            return windows;
        QTest::qWait(100);
    }
    return std::nullopt;
}

QString netWmState(WId window)
{
    return tool(
        QStringLiteral("xprop"), { QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_STATE") });
}

bool skipsTaskbarAndPager(WId window)
{
    const QString state = netWmState(window);
    return state.contains(QLatin1String("_NET_WM_STATE_SKIP_TASKBAR"))
        && state.contains(QLatin1String("_NET_WM_STATE_SKIP_PAGER"));
}

bool listedInTaskbar(WId window)
{
    const QString state = netWmState(window);
    return !state.isEmpty() && !state.contains(QLatin1String("SKIP_TASKBAR"))
        && !state.contains(QLatin1String("SKIP_PAGER"));
}

/// A running `corvalint` application, ended and reaped when the test is done.
class AppProcess
{
public:
    explicit AppProcess(CliRunner &cli, const QStringList &arguments = {})
    {
        m_process.setProcessEnvironment(cli.environment());
        // Its complaints belong in the test log.
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(CliRunner::program(),
            QStringList { QStringLiteral("--desktop"), CliRunner::scenario(QStringLiteral("desk.json")) } + arguments);
    }

    ~AppProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }

    QProcess &process() { return m_process; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
};

} // namespace

class TestAppDesktop : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<CliRunner> m_cli;

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs the test desktop");
    }

    void init()
    {
        m_cli = std::make_unique<CliRunner>();
        m_cli->environment().insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
        m_cli->environment().remove(QStringLiteral("QT_QPA_PLATFORM"));
    }

    void secondStartBringsTheFirstWindowBackAndExits()
    {
        AppProcess first(*m_cli);
        // The window manager unmaps a window for a moment while it frames it:
        // keep what the successful poll saw.
        QStringList windows;
        const auto shown = settledMainWindows(first.pid(), 1, 60000);
        QVERIFY(shown);
        windows = *shown;

        // Closing the window leaves Corvalint running.
        tool(QStringLiteral("wmctrl"), { QStringLiteral("-i"), QStringLiteral("-c"), windows.first() });
        QVERIFY(settledMainWindows(first.pid(), 0, 20000));
        QCOMPARE(first.process().state(), QProcess::Running);

        const CliRun second = m_cli->run({}, 30000);
        QCOMPARE(second.exitCode, 0);
        // Qt gives a closed window a new X window when it is shown again; that
        // it is the same main window, not a second one, the host's own test shows.
        QVERIFY(settledMainWindows(first.pid(), 1, 20000));
        QCOMPARE(first.process().state(), QProcess::Running);
    }

    void storedFalseKeepsTheWindowOutOfTheTaskbar()
    {
        const QString config
            = m_cli->environment().value(QStringLiteral("XDG_CONFIG_HOME")) + QStringLiteral("/Corvalint");
        QVERIFY(QDir().mkpath(config));
        QFile file(config + QStringLiteral("/Corvalint.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nshowDockIcon=false\n");
        file.close();

        AppProcess app(*m_cli);
        QStringList windows;
        const auto shown = settledMainWindows(app.pid(), 1, 60000);
        QVERIFY(shown);
        windows = *shown;
        const WId window = windows.first().toULongLong();
        QTRY_VERIFY_WITH_TIMEOUT(skipsTaskbarAndPager(window), 10000);
    }

    void overlayWindowsShowOnEveryVirtualDesktop()
    {
        QString error;
        auto desktop = X11Desktop::connect(qEnvironmentVariable("DISPLAY"), &error);
        QVERIFY2(desktop, qPrintable(error));
        QWindow window;
        window.resize(200, 100);
        desktop->setOwnWindowHints(window.winId(), true, true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY_WITH_TIMEOUT(
            tool(QStringLiteral("xprop"),
                { QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("_NET_WM_DESKTOP") })
                .contains(QLatin1String("4294967295")),
            10000);
    }

    void dockPolicySwitchesAtOnceBothWays()
    {
        QString error;
        auto desktop = X11Desktop::connect(qEnvironmentVariable("DISPLAY"), &error);
        QVERIFY2(desktop, qPrintable(error));
        std::unique_ptr<QWindow> window;
        MainWindowHost host([&window]() {
            window = std::make_unique<QWindow>();
            window->setTitle(QStringLiteral("Corvalint"));
            window->resize(320, 200);
            return window.get();
        });
        host.setTaskbarHint([&desktop](quintptr id, bool skip) { desktop->setOwnWindowHints(id, skip, false); });
        host.setTaskbarPresence(TaskbarPresence::trayOnly);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get(), 10000));
        QTRY_VERIFY_WITH_TIMEOUT(skipsTaskbarAndPager(window->winId()), 10000);
        host.setTaskbarPresence(TaskbarPresence::listed);
        QTRY_VERIFY_WITH_TIMEOUT(listedInTaskbar(window->winId()), 10000);
        host.setTaskbarPresence(TaskbarPresence::trayOnly);
        QTRY_VERIFY_WITH_TIMEOUT(skipsTaskbarAndPager(window->winId()), 10000);
        // Hidden and shown again: the window manager forgot the state, we did not.
        window->hide();
        host.reopen();
        QVERIFY(QTest::qWaitForWindowExposed(window.get(), 10000));
        QTRY_VERIFY_WITH_TIMEOUT(skipsTaskbarAndPager(window->winId()), 10000);
    }

    void trayIconAppearsOnceATrayHostRuns()
    {
        QTemporaryDir dir;
        QString error;
        auto store = WorkspaceStore::open(dir.path(), &error);
        QVERIFY2(store, qPrintable(error));
        const bool trayAtStart = QSystemTrayIcon::isSystemTrayAvailable();
        TrayMenu trayMenu(*store, {});
        trayMenu.setupStatusItem();
        QVERIFY(trayMenu.statusItem()->isVisible());

        QProcess trayer;
        if (!trayAtStart) {
            trayer.start(QStringLiteral("trayer"),
                { QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                    QStringLiteral("--widthtype"), QStringLiteral("pixel"), QStringLiteral("--width"),
                    QStringLiteral("120"), QStringLiteral("--height"), QStringLiteral("24") });
            QVERIFY(trayer.waitForStarted(10000));
        }
        auto embedded = [] {
            for (QWindow *window : QGuiApplication::allWindows()) {
                if (window->objectName() == QLatin1String("QSystemTrayIconSysWindow") && window->isExposed())
                    return true;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(embedded(), 20000);
        if (trayer.state() != QProcess::NotRunning) {
            trayer.terminate();
            QVERIFY(trayer.waitForFinished(10000));
        }
    }

    void captureFromTheCommandLineReachesTheRunningApplication()
    {
        AppProcess app(*m_cli);
        QVERIFY(settledMainWindows(app.pid(), 1, 60000));
        const CliRun capture = m_cli->run({ QStringLiteral("capture"), QStringLiteral("Demo"),
            QStringLiteral("--desktop"), CliRunner::scenario(QStringLiteral("desk.json")) });
        QCOMPARE(capture.exitCode, 0);
        const CliRun list = m_cli->run({ QStringLiteral("list") });
        QVERIFY2(list.out.contains(QStringLiteral("Demo")), qPrintable(list.out));
        // The running application saved it: the file has it without a restart.
        QString error;
        auto store = WorkspaceStore::open(m_cli->dataPath(), &error);
        QVERIFY(store);
        QCOMPARE(store->count(), 1);
        QCOMPARE(app.process().state(), QProcess::Running);

        // Without --desktop the running application carries out the whole capture on the desktop it has open
        // (here the simulated one, whose windows the test desktop does not have).
        const CliRun handed = m_cli->run({ QStringLiteral("capture"), QStringLiteral("Handed") });
        QCOMPARE(handed.exitCode, 0);
        const QString entries = capture.out.section(QLatin1Char(' '), 3, 5);
        QVERIFY2(entries.startsWith(QLatin1String("with ")), qPrintable(capture.out));
        QVERIFY2(handed.out.contains(entries), qPrintable(handed.out + capture.out));
        QCOMPARE(store->fetchAll(false).value_or(QList<WorkspaceData>()).size(), 2);

        for (const QString &name : { QStringLiteral("Demo"), QStringLiteral("Handed") })
            QCOMPARE(m_cli->run({ QStringLiteral("delete"), name }).exitCode, 0);
        QVERIFY(m_cli->run({ QStringLiteral("list") }).out.isEmpty());
    }
};

QTEST_MAIN(TestAppDesktop)
#include "tst_appdesktop.moc"
