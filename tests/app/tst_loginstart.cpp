// Start at login on the test desktop: `corvalint --login` shows no main window and opens the workspaces marked
// for it (and only those) once the desktop is ready, each window on its saved frame.
#include "../cli/clirunner.h"
#include "../platform/x11/testdesktop.h"
#include "model/backup/backupfile.h"

#include <QFile>
#include <QTest>

namespace {

WorkspaceData workspace(const QString &name, const QString &appId, bool atLogin, const DesktopMonitor &monitor)
{
    WorkspaceData w;
    w.name = name;
    w.icon = QStringLiteral("star");
    w.category = QStringLiteral("Development");
    w.createdAt = QDateTime::currentDateTimeUtc();
    w.modifiedAt = w.createdAt;
    w.autoLaunch = atLogin;
    EntryData entry;
    entry.appBundleIdentifier = appId;
    entry.frameX = 2300;
    entry.frameY = 260;
    entry.width = 420;
    entry.height = 310;
    entry.delayAfterLaunch = 0.1;
    entry.monitorID = monitor.identifier;
    entry.originalScreenX = monitor.bounds.x();
    entry.originalScreenY = monitor.bounds.y();
    entry.originalScreenWidth = monitor.bounds.width();
    entry.originalScreenHeight = monitor.bounds.height();
    w.entries = { entry };
    return w;
}

} // namespace

class TestLoginStart : public QObject
{
    Q_OBJECT

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;

    std::optional<DesktopApplication> application(const QString &appId)
    {
        for (const DesktopApplication &found : m_desktop->snapshot().applications) {
            if (found.appId == appId)
                return found;
        }
        return std::nullopt;
    }

private slots:
    void initTestCase()
    {
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
        QVERIFY2(m_desktop, qPrintable(error));
    }

    void cleanupTestCase() { m_fixture->clearDesktop(); }

    void markedWorkspacesOpenWithoutTheMainWindow()
    {
        CliRunner cli;
        cli.environment().insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
        cli.environment().insert(QStringLiteral("XDG_DATA_HOME"), qEnvironmentVariable("XDG_DATA_HOME"));
        cli.environment().remove(QStringLiteral("QT_QPA_PLATFORM"));
        QTemporaryDir dir;
        const QString backup = dir.filePath(QStringLiteral("login.workspace"));
        QFile file(backup);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // On the second monitor, where the window is not put by itself.
        const DesktopMonitor second = m_desktop->monitors().value(1);
        QVERIFY(second.identifier && second.bounds.contains(QPointF(2300, 260)));
        file.write(
            BackupFile::serialize({ workspace(QStringLiteral("Morgens"), QStringLiteral("testapp-b"), true, second),
                workspace(QStringLiteral("Abends"), QStringLiteral("testapp-a"), false, second) }));
        file.close();
        QCOMPARE(cli.run({ QStringLiteral("import"), backup }).exitCode, 0);

        QProcess app;
        app.setProcessEnvironment(cli.environment());
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.start(CliRunner::program(), { QStringLiteral("--login") });
        QTRY_VERIFY_WITH_TIMEOUT(application(QStringLiteral("testapp-b")), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(
            application(QStringLiteral("testapp-b"))->windows.value(0).frame, QRectF(2300, 260, 420, 310), 10000);
        QVERIFY(!application(QStringLiteral("testapp-a")));
        // Only the tray: no main window was shown.
        for (const DesktopApplication &running : m_desktop->snapshot().applications) {
            if (running.hasPid(app.processId()))
                QVERIFY2(running.windows.isEmpty(), qPrintable(running.windows.front().title));
        }
        app.terminate();
        if (!app.waitForFinished(5000)) {
            app.kill();
            app.waitForFinished(5000);
        }
    }
};

QTEST_GUILESS_MAIN(TestLoginStart)
#include "tst_loginstart.moc"
