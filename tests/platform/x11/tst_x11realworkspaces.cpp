// Workspaces of real applications on the test desktop. Browsers: two windows with their tabs open each in its own
// browser on its own frame and monitor, the capture reads the tabs back window by window from the browser's own
// session, a second launch places the open windows instead of opening more, and after the browser quit the captured
// workspace brings it all back. An editor started over D-Bus (no process of ours) and a calculator whose window
// comes late are placed too.
#include "adoptedchildren.h"
#include "automation/automationservice.h"
#include "automation/framemapping.h"
#include "automation/qtautomationclock.h"
#include "desktopfixture.h"
#include "platform/desktoptestsupport/framecompare.h"
#include "platform/x11/x11desktop.h"
#include "privatesessionbus.h"
#include "snapshotlookup.h"

#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTask>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace {

// Window managers may round a frame to the client's resize steps; a browser has none.
constexpr double framePrecision = 2.0;

bool near(const QRectF &a, const QRectF &b)
{
    return std::abs(a.x() - b.x()) <= framePrecision && std::abs(a.y() - b.y()) <= framePrecision
        && std::abs(a.width() - b.width()) <= framePrecision && std::abs(a.height() - b.height()) <= framePrecision;
}

/// `expected` appear in `tabs` in this order (a fresh browser profile adds its own first-run page).
bool inOrder(const QStringList &tabs, const QStringList &expected)
{
    qsizetype at = 0;
    for (const QString &tab : tabs) {
        if (at < expected.size() && tab == expected[at])
            ++at;
    }
    return at == expected.size();
}

} // namespace

class TestX11RealWorkspaces : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    std::unique_ptr<QtAutomationClock> m_clock;
    std::unique_ptr<AutomationService> m_service;
    QTemporaryDir m_home;
    QTemporaryDir m_pages;
    PrivateSessionBus m_bus;

    QString page(const QString &name)
    {
        const QString path = m_pages.filePath(name + QStringLiteral(".html"));
        if (!QFile::exists(path)) {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(QStringLiteral("<html><head><title>Page %1</title></head><body>%1</body></html>")
                               .arg(name)
                               .toUtf8());
        }
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }

    EntryData browserWindow(const QString &browser, const QStringList &urls, const QRectF &frame, int monitor)
    {
        EntryData entry;
        entry.typeRawValue = QStringLiteral("website");
        entry.appBundleIdentifier = browser;
        entry.websiteURL = urls.first();
        entry.additionalTabURLs = urls.mid(1);
        entry.frameX = frame.x();
        entry.frameY = frame.y();
        entry.width = frame.width();
        entry.height = frame.height();
        const DesktopMonitor screen = m_desktop->monitors().value(monitor);
        entry.monitorID = screen.identifier;
        entry.originalScreenX = screen.bounds.x();
        entry.originalScreenY = screen.bounds.y();
        entry.originalScreenWidth = screen.bounds.width();
        entry.originalScreenHeight = screen.bounds.height();
        entry.delayAfterLaunch = 0.2;
        return entry;
    }

    bool launch(const QList<EntryData> &entries)
    {
        QCoro::waitFor(m_service->launchWorkspace(entries, true, false));
        if (m_service->pendingPlacements() > 0) {
            QSignalSpy idle(m_service.get(), &AutomationService::placementsIdle);
            if (!idle.wait(int(AutomationService::defaultWindowWaitSeconds * 1000) + 10000))
                return false;
        }
        // The last tabs are handed over a moment after the placement counted as done.
        QTest::qWait(1500);
        return true;
    }

    QList<DesktopWindow> windowsOf(const QString &browser)
    {
        QList<DesktopWindow> windows;
        if (const auto application = applicationWithId(m_desktop->snapshot(), browser)) {
            for (const DesktopWindow &window : application->windows) {
                if (window.kind == WindowKind::normal)
                    windows.append(window);
            }
        }
        return windows;
    }

    /// The browser's website entries of a capture, once the browser wrote them to its session (Firefox
    /// writes every 15 s), keyed by their first tab.
    QHash<QString, EntryData> capturedWindows(const QString &browser, int count)
    {
        QHash<QString, EntryData> byFirstTab;
        QDeadlineTimer deadline(45000);
        do {
            byFirstTab.clear();
            for (const EntryData &entry : m_service->captureCurrentDesktop()) {
                if (entry.appBundleIdentifier == browser && entry.websiteURL)
                    byFirstTab.insert(*entry.websiteURL, entry);
            }
            if (byFirstTab.size() == count)
                break;
            QTest::qWait(500);
        } while (!deadline.hasExpired());
        return byFirstTab;
    }

    /// One window on `left`, the other maximised on `right`.
    bool bothBack(const QString &browser, const QRectF &left, const QRectF &right)
    {
        bool leftBack = false;
        bool rightBack = false;
        for (const DesktopWindow &window : windowsOf(browser)) {
            leftBack = leftBack || (near(window.frame, left) && !window.state.isMaximized());
            rightBack = rightBack || (window.state.isMaximized() && near(window.frame, right));
        }
        return leftBack && rightBack;
    }

    QString windowsText(const QString &browser)
    {
        QStringList lines;
        for (const DesktopWindow &window : windowsOf(browser))
            lines.append(QStringLiteral("%1 %2%3").arg(window.title, describe(window.frame),
                window.state.isMaximized() ? QStringLiteral(" maximised") : QString()));
        return lines.join(QStringLiteral("; "));
    }

    void quit(const QString &browser)
    {
        if (const auto application = applicationWithId(m_desktop->snapshot(), browser))
            m_desktop->closeApplication(*application);
        QTRY_VERIFY_WITH_TIMEOUT(windowsOf(browser).isEmpty(), 20000);
    }

    void roundTrip(const QString &browser)
    {
        if (!m_desktop->canLaunch(browser))
            QSKIP(qPrintable(browser + QStringLiteral(" is not installed")));
        const QStringList first { page(browser + "-a"), page(browser + "-b"), page(browser + "-c") };
        const QStringList second { page(browser + "-d") };
        EntryData left = browserWindow(browser, first, QRectF(100, 80, 900, 700), 0);
        EntryData right = browserWindow(browser, second, QRectF(1920, 0, 1280, 1024), 1);
        right.isMaximized = true;

        // Opened from nothing: each window in its browser, on its frame and monitor, in its state.
        QVERIFY(launch({ left, right }));
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(browser).size(), 2, 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(
            bothBack(browser, savedFrame(left), savedFrame(right)), qPrintable(windowsText(browser)), 10000);

        // The capture reads each window's tabs back from the browser's own session file.
        QHash<QString, EntryData> captured = capturedWindows(browser, 2);
        QCOMPARE(captured.size(), 2);
        QVERIFY(captured.contains(first.first()));
        QVERIFY2(inOrder(captured[first.first()].additionalTabURLs, first.mid(1)),
            qPrintable(captured[first.first()].additionalTabURLs.join(' ')));
        QVERIFY(captured.contains(second.first()));
        QVERIFY(captured[second.first()].additionalTabURLs.isEmpty());
        const EntryData capturedLeft = captured[first.first()];
        const EntryData capturedRight = captured[second.first()];
        QVERIFY2(near(savedFrame(capturedLeft), savedFrame(left)), qPrintable(describe(savedFrame(capturedLeft))));
        QCOMPARE(capturedLeft.monitorID, left.monitorID);
        QCOMPARE(capturedRight.monitorID, right.monitorID);
        QVERIFY(capturedRight.isMaximized);
        QVERIFY(!capturedLeft.isMaximized);

        // Moved away and launched again: the open windows are placed, nothing opens twice.
        for (const DesktopWindow &window : windowsOf(browser)) {
            WindowPlacement away;
            away.frame = QRectF(300, 300, 600, 400);
            m_desktop->place(window.id, away);
        }
        // Both moves have landed before the launch reads the windows: a late one would undo its placement.
        const auto bothAway = [&] {
            const QList<DesktopWindow> windows = windowsOf(browser);
            return std::all_of(windows.begin(), windows.end(), [](const DesktopWindow &window) {
                return near(window.frame, QRectF(300, 300, 600, 400)) && !window.state.isMaximized();
            });
        };
        QTRY_VERIFY2_WITH_TIMEOUT(bothAway(), qPrintable(windowsText(browser)), 5000);
        QVERIFY(launch({ capturedLeft, capturedRight }));
        QTest::qWait(1000);
        QCOMPARE(windowsOf(browser).size(), 2);
        QTRY_VERIFY2_WITH_TIMEOUT(bothBack(browser, savedFrame(capturedLeft), savedFrame(capturedRight)),
            qPrintable(windowsText(browser)), 5000);

        // Quit and launched from the capture: the browser comes back with both windows where they were.
        quit(browser);
        QVERIFY(launch({ capturedLeft, capturedRight }));
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(browser).size(), 2, 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(bothBack(browser, savedFrame(capturedLeft), savedFrame(capturedRight)),
            qPrintable(windowsText(browser)), 10000);
        captured = capturedWindows(browser, 2);
        QVERIFY(captured.contains(first.first()));
        QVERIFY2(inOrder(captured[first.first()].additionalTabURLs, first.mid(1)),
            qPrintable(captured[first.first()].additionalTabURLs.join(' ')));
        quit(browser);
    }

private slots:
    void initTestCase()
    {
        // The browsers' helpers come back to us when their starters exit: reaped and ended with the test.
        adoptOrphans();
        DesktopFixture::prepareEnvironment();
        QVERIFY(m_home.isValid() && m_pages.isValid());
        // A fresh account: each browser makes its own profile where it keeps them today.
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral(".config")).toLocal8Bit());
        qputenv("XDG_CACHE_HOME", m_home.filePath(QStringLiteral(".cache")).toLocal8Bit());
        if (::getuid() == 0) {
            // Chromium refuses to run as root with its sandbox; a user's own entry overrides the system one.
            const QString system = QStringLiteral("/usr/share/applications/chromium.desktop");
            QFile entry(system);
            if (entry.open(QIODevice::ReadOnly)) {
                QByteArray text = entry.readAll();
                text.replace("Exec=/usr/bin/chromium", "Exec=/usr/bin/chromium --no-sandbox");
                const QString dir
                    = QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath(QStringLiteral("applications"));
                QDir().mkpath(dir);
                QFile own(QDir(dir).filePath(QStringLiteral("chromium.desktop")));
                QVERIFY(own.open(QIODevice::WriteOnly));
                own.write(text);
            }
        }
        // A session bus of its own, as every desktop session has: a running Firefox takes further windows
        // over it.
        const QByteArray busAddress = m_bus.start();
        QVERIFY(!busAddress.isEmpty());
        qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress);
        qputenv("NO_AT_BRIDGE", "1");
        m_fixture = std::make_unique<DesktopFixture>();
        m_fixture->clearDesktop();
        QString error;
        m_desktop = X11Desktop::connect(QString(), &error);
        QVERIFY2(m_desktop, qPrintable(error));
        m_clock = std::make_unique<QtAutomationClock>();
        m_service = std::make_unique<AutomationService>(*m_desktop, *m_clock);
    }

    void cleanupTestCase()
    {
        m_service.reset();
        m_desktop.reset();
        // Helpers reparented to us (the accessibility bus's) signal their parent on the way out, taking us
        // for the launcher that started them.
        const auto previous = std::signal(SIGTERM, SIG_IGN);
        endOrphans();
        std::signal(SIGTERM, previous);
        m_bus.stop();
        QFile::remove(
            QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath(QStringLiteral("applications/chromium.desktop")));
        m_fixture.reset();
    }

    void firefoxWindowsComeBackWithTheirTabs() { roundTrip(QStringLiteral("firefox-esr")); }

    void applicationsStartedOverDBusAndLateWindowsArePlaced()
    {
        const QString editor = QStringLiteral("org.gnome.TextEditor");
        const QString calculator = QStringLiteral("org.gnome.Calculator");
        if (!m_desktop->canLaunch(editor) || !m_desktop->canLaunch(calculator))
            QSKIP("gnome-text-editor or gnome-calculator is not installed");
        const QString path = m_pages.filePath(QStringLiteral("notes for the editor.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("text\n");
        file.close();

        EntryData document = browserWindow(editor, { QStringLiteral("x") }, QRectF(150, 120, 800, 600), 0);
        document.typeRawValue = QStringLiteral("file");
        document.websiteURL.reset();
        document.additionalTabURLs.clear();
        document.filePath = path;
        EntryData sums = browserWindow(calculator, { QStringLiteral("x") }, QRectF(2200, 300, 400, 520), 1);
        sums.typeRawValue = QStringLiteral("application");
        sums.websiteURL.reset();
        sums.additionalTabURLs.clear();
        QVERIFY(launch({ document, sums }));

        // The editor is activated over D-Bus: its window is found by its id, not by a process of ours.
        QTRY_VERIFY2_WITH_TIMEOUT(
            !windowsOf(editor).isEmpty() && near(windowsOf(editor).first().frame, savedFrame(document)),
            qPrintable(windowsText(editor)), 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(!windowsOf(calculator).isEmpty()
                && std::abs(windowsOf(calculator).first().frame.x() - sums.frameX) <= framePrecision
                && std::abs(windowsOf(calculator).first().frame.y() - sums.frameY) <= framePrecision,
            qPrintable(windowsText(calculator)), 10000);
        const QList<EntryData> captured = m_service->captureCurrentDesktop();
        bool documentBack = false;
        for (const EntryData &entry : captured)
            documentBack = documentBack || (entry.appBundleIdentifier == editor && entry.filePath == path);
        QVERIFY(documentBack);
        quit(editor);
        quit(calculator);
    }
    void chromiumWindowsComeBackWithTheirTabs() { roundTrip(QStringLiteral("chromium")); }
};

QTEST_MAIN(TestX11RealWorkspaces)
#include "tst_x11realworkspaces.moc"
