// Several windows of one application on the test desktop: two xterms come back to their own frames by title.
#include "automation/automationservice.h"
#include "automation/qtautomationclock.h"
#include "snapshotlookup.h"
#include "testdesktop.h"

#include <QCoro/QCoroTask>
#include <QStandardPaths>
#include <QTest>

class TestX11SeveralWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    std::unique_ptr<QtAutomationClock> m_clock;
    std::unique_ptr<AutomationService> m_service;
    std::vector<std::unique_ptr<QProcess>> m_terminals;

    QProcess *startTerminal(const QString &title, const QString &geometry)
    {
        auto process = std::make_unique<QProcess>();
        // A command instead of a shell: no prompt rewrites the title.
        process->start(QStringLiteral("xterm"), { "-T", title, "-geometry", geometry, "-e", "sleep", "600" });
        m_terminals.push_back(std::move(process));
        return m_terminals.back().get();
    }

    std::optional<DesktopWindow> windowTitled(const QString &title)
    {
        for (const DesktopApplication &application : m_desktop->snapshot().applications) {
            for (const DesktopWindow &window : application.windows) {
                if (window.title == title)
                    return window;
            }
        }
        return std::nullopt;
    }

    static bool near(const QRectF &frame, const EntryData &entry)
    {
        // Terminals size in character cells: the size may differ by less than one cell.
        return std::abs(frame.x() - entry.frameX) <= 1 && std::abs(frame.y() - entry.frameY) <= 1
            && std::abs(frame.width() - entry.width) < 20 && std::abs(frame.height() - entry.height) < 20;
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xterm")).isEmpty())
            QSKIP("xterm is not installed");
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
        QVERIFY2(m_desktop, qPrintable(error));
        m_clock = std::make_unique<QtAutomationClock>();
        m_service = std::make_unique<AutomationService>(*m_desktop, *m_clock);
    }

    void cleanupTestCase()
    {
        for (auto &process : m_terminals) {
            process->kill();
            process->waitForFinished(5000);
        }
        // Activating a window on another desktop may have switched to that desktop; later tests expect the first.
        if (m_fixture)
            m_fixture->sendToWindowManager(m_fixture->root(), "_NET_CURRENT_DESKTOP", { 0, 0, 0, 0, 0 });
        m_service.reset();
        m_desktop.reset();
        m_fixture.reset();
    }

    void twoTerminalsComeBackToTheirOwnFramesByTitle()
    {
        startTerminal(QStringLiteral("Terminal Alpha"), QStringLiteral("60x15+120+110"));
        QTRY_VERIFY_WITH_TIMEOUT(windowTitled(QStringLiteral("Terminal Alpha")), 10000);
        startTerminal(QStringLiteral("Terminal Beta"), QStringLiteral("70x20+2100+300"));
        QTRY_VERIFY_WITH_TIMEOUT(windowTitled(QStringLiteral("Terminal Beta")), 10000);

        QList<EntryData> entries;
        for (const EntryData &entry : m_service->captureCurrentDesktop()) {
            if (entry.windowTitle && entry.windowTitle->startsWith(QLatin1String("Terminal ")))
                entries.append(entry);
        }
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].appBundleIdentifier, entries[1].appBundleIdentifier);
        // The workspace lists them the other way round: order alone would swap the frames.
        std::swap(entries[0], entries[1]);
        QCOMPARE(*entries[0].windowTitle, QStringLiteral("Terminal Beta"));
        entries[1].virtualDesktop = 1;
        for (EntryData &entry : entries)
            entry.delayAfterLaunch = 0.1;

        // Both moved away, the one onto the other's monitor.
        const DesktopWindow alpha = *windowTitled(QStringLiteral("Terminal Alpha"));
        const DesktopWindow beta = *windowTitled(QStringLiteral("Terminal Beta"));
        m_desktop->place(
            alpha.id, WindowPlacement { QRectF(2300, 500, alpha.frame.width(), alpha.frame.height()), {}, {} });
        m_desktop->place(
            beta.id, WindowPlacement { QRectF(400, 400, beta.frame.width(), beta.frame.height()), {}, {} });
        QTRY_COMPARE_WITH_TIMEOUT(
            windowTitled(QStringLiteral("Terminal Beta"))->frame.topLeft(), QPointF(400, 400), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(
            windowTitled(QStringLiteral("Terminal Alpha"))->frame.topLeft(), QPointF(2300, 500), 5000);

        QCoro::waitFor(m_service->launchWorkspace(entries, true, false));
        QTRY_VERIFY_WITH_TIMEOUT(near(windowTitled(QStringLiteral("Terminal Beta"))->frame, entries[0]), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(near(windowTitled(QStringLiteral("Terminal Alpha"))->frame, entries[1]), 5000);
        // Each window its own desktop too: Alpha goes to the second one, Beta stays where it was saved.
        QTRY_COMPARE_WITH_TIMEOUT(windowTitled(QStringLiteral("Terminal Alpha"))->desktop, std::optional<int>(1), 5000);
        QCOMPARE(windowTitled(QStringLiteral("Terminal Beta"))->desktop, entries[0].virtualDesktop);
        // No third terminal was started.
        QCOMPARE(m_terminals.size(), size_t(2));
        int terminals = 0;
        for (const DesktopApplication &application : m_desktop->snapshot().applications) {
            if (application.appId == entries[0].appBundleIdentifier)
                terminals += int(application.windows.size());
        }
        QCOMPARE(terminals, 2);
        QVERIFY2(m_service->launchProblems().isEmpty(), qPrintable(m_service->launchProblems().join('\n')));
    }
};

QTEST_MAIN(TestX11SeveralWindows)
#include "tst_x11severalwindows.moc"
