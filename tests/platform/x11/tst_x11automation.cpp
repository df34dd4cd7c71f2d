// Capture, placement and launch of the automation service over the X11 desktop, on the test desktop.
#include "automation/automationservice.h"
#include "automation/framemapping.h"
#include "automation/qtautomationclock.h"
#include "platform/desktoptestsupport/capturedentries.h"
#include "snapshotlookup.h"
#include "testdesktop.h"

#include <QCoro/QCoroTask>
#include <QJsonObject>
#include <QTest>

class TestX11Automation : public QObject
{
    Q_OBJECT

private:
    QList<WindowId> windowsOf(qint64 pid)
    {
        QList<WindowId> ids;
        for (const DesktopWindow &window : windowsWithPid(m_desktop->snapshot(), pid))
            ids.append(window.id);
        return ids;
    }

    QRectF frameOf(WindowId window)
    {
        return windowWithId(m_desktop->snapshot(), window).value_or(DesktopWindow {}).frame;
    }

    QString monitorID(int index) { return m_desktop->monitors().value(index).identifier.value_or(QString()); }

    static bool setMonitorB(const QString &geometry)
    {
        return QProcess::execute(QStringLiteral("xrandr"), { "--delmonitor", "B" }) == 0
            && QProcess::execute(QStringLiteral("xrandr"), { "--setmonitor", "B", geometry, "none" }) == 0;
    }

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    std::unique_ptr<QtAutomationClock> m_clock;
    std::unique_ptr<AutomationService> m_service;

private slots:
    void initTestCase()
    {
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
        QVERIFY2(m_desktop, qPrintable(error));
        m_clock = std::make_unique<QtAutomationClock>();
        m_service = std::make_unique<AutomationService>(*m_desktop, *m_clock);
    }

    void init() { m_fixture->clearClientLog(); }

    void cleanup()
    {
        m_fixture->stopClients();
        m_fixture->clearDesktop();
        QVERIFY(setMonitorB(QStringLiteral("1280/338x1024/270+1920+0")));
        QTRY_COMPARE(m_desktop->monitors().value(1).bounds, QRectF(1920, 0, 1280, 1024));
        QTRY_VERIFY(m_desktop->snapshot().applications.isEmpty());
    }

    void captureRecordsFramesAndMonitors()
    {
        QProcess *a = m_fixture->startClient(
            { "--class", "testapp-a,TestAppA", "--title", "Left", "--geometry", "640x480+200+150" });
        QProcess *b = m_fixture->startClient(
            { "--class", "testapp-b,TestAppB", "--title", "Right", "--geometry", "500x400+2100+100" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(a->processId()).size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(b->processId()).size(), 1, 5000);

        const QList<EntryData> entries = m_service->captureCurrentDesktop();
        const auto left = entryFor(entries, QStringLiteral("testapp-a"));
        const auto right = entryFor(entries, QStringLiteral("testapp-b"));
        QVERIFY(left && right);
        QCOMPARE(savedFrame(*left), frameOf(windowsOf(a->processId()).front()));
        QCOMPARE(left->frameX, 200.0);
        QCOMPARE(left->frameY, 150.0);
        QCOMPARE(left->monitorID, monitorID(0));
        QCOMPARE(right->monitorID, monitorID(1));
        QCOMPARE(right->originalScreenX, 1920.0);
        QCOMPARE(right->originalScreenWidth, 1280.0);
        QVERIFY(!left->isFullscreen);
    }

    void captureOnTheReaderThreadMatchesTheDirectOne()
    {
        QProcess *a = m_fixture->startClient(
            { "--class", "testapp-a,TestAppA", "--title", "Left", "--geometry", "640x480+200+150" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(a->processId()).size(), 1, 5000);
        const QList<EntryData> direct = m_service->captureCurrentDesktop();

        // The window thread gets control back before the reader answers.
        QCoro::Task<QList<EntryData>> task = m_service->captureDesktop();
        QVERIFY(!task.isReady());
        std::optional<QList<EntryData>> threaded;
        task.then([&threaded](const QList<EntryData> &entries) { threaded = entries; });
        QTRY_VERIFY_WITH_TIMEOUT(threaded.has_value(), 10000);
        QCOMPARE(threaded->size(), direct.size());
        const auto left = entryFor(*threaded, QStringLiteral("testapp-a"));
        QVERIFY(left);
        QCOMPARE(savedFrame(*left), frameOf(windowsOf(a->processId()).front()));
        QCOMPARE(left->monitorID, monitorID(0));
    }

    void placementScalesOntoTheShrunkMonitor()
    {
        QProcess *b = m_fixture->startClient(
            { "--class", "testapp-b,TestAppB", "--title", "Right", "--geometry", "500x400+2100+200" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(b->processId()).size(), 1, 5000);
        const auto entry = entryFor(m_service->captureCurrentDesktop(), QStringLiteral("testapp-b"));
        QVERIFY(entry);

        // Monitor B becomes 960 x 768: both ratios are 0.75.
        QVERIFY(setMonitorB(QStringLiteral("960/254x768/203+1920+0")));
        QTRY_COMPARE(m_desktop->monitors().value(1).bounds, QRectF(1920, 0, 960, 768));
        QVERIFY(m_service->placeWindows(b->processId(), *entry));
        const QRectF expected(
            1920 + 0.75 * (entry->frameX - 1920), 0.75 * entry->frameY, 0.75 * entry->width, 0.75 * entry->height);
        // Placement does not wait for the window manager: the frame arrives later.
        QRectF frame;
        const auto near = [&] {
            frame = frameOf(windowsOf(b->processId()).value(0));
            return std::abs(frame.x() - expected.x()) <= 0.5 && std::abs(frame.y() - expected.y()) <= 0.5
                && std::abs(frame.width() - expected.width()) <= 0.5
                && std::abs(frame.height() - expected.height()) <= 0.5;
        };
        QTRY_VERIFY2(near(),
            qPrintable(
                QStringLiteral("%1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
    }

    void workspaceLaunchStartsAndPlacesFromDesktopEntries()
    {
        EntryData entry;
        entry.appBundleIdentifier = QStringLiteral("testapp-b");
        entry.monitorID = monitorID(1);
        entry.frameX = 2300;
        entry.frameY = 300;
        entry.width = 420;
        entry.height = 310;
        entry.originalScreenX = 1920;
        entry.originalScreenY = 0;
        entry.originalScreenWidth = 1280;
        entry.originalScreenHeight = 1024;
        entry.delayAfterLaunch = 0.1;
        QCoro::waitFor(m_service->launchWorkspace({ entry }, true, false));

        qint64 pid = 0;
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
            if (const auto app
                = applicationWithId(m_desktop->snapshot(), entry.appBundleIdentifier.value_or(QString())))
                pid = app->pids.value(0);
            return pid != 0 && windowsOf(pid).size() == 1;
        }()),
            10000);
        QTRY_COMPARE_WITH_TIMEOUT(frameOf(windowsOf(pid).front()), QRectF(2300, 300, 420, 310), 5000);
    }

    void focusModeAsksTheOtherApplicationToQuit()
    {
        QProcess *kept = m_fixture->startClient({ "--class", "testapp-a,TestAppA", "--title", "Kept" });
        QProcess *other = m_fixture->startClient({ "--class", "testapp-c,Testapp-C", "--title", "Other" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(kept->processId()).size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(other->processId()).size(), 1, 5000);
        EntryData entry;
        entry.appBundleIdentifier = QStringLiteral("testapp-a");
        entry.delayAfterLaunch = 0;
        QCoro::waitFor(m_service->launchWorkspace({ entry }, true, true));
        QTRY_COMPARE_WITH_TIMEOUT(other->state(), QProcess::NotRunning, 5000);
        QCOMPARE(kept->state(), QProcess::Running);
        QStringList asked;
        for (const QJsonObject &line : m_fixture->clientLog()) {
            if (line.value(QLatin1String("event")).toString() == QLatin1String("WM_DELETE_WINDOW"))
                asked.append(line.value(QLatin1String("title")).toString());
        }
        QCOMPARE(asked, QStringList { QStringLiteral("Other") });
    }
};

QTEST_GUILESS_MAIN(TestX11Automation)
#include "tst_x11automation.moc"
