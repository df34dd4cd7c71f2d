// A real desktop as the end-to-end tests drive it: the automation service on it, the client programs a test starts
// (closed politely and reaped between tests), its windows found by application id, and launches awaited.
#pragma once

#include "automation/automationservice.h"
#include "automation/desktopplatform.h"
#include "automation/qtautomationclock.h"

#include <QProcess>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class HarnessSession
{
public:
    /// `placementsInFlight` reads the desktop's own count of placements not yet read back.
    HarnessSession(DesktopPlatform &desktop, std::function<int()> placementsInFlight);
    ~HarnessSession();
    HarnessSession(const HarnessSession &) = delete;
    HarnessSession &operator=(const HarnessSession &) = delete;

    AutomationService &service() { return m_service; }
    int placementsInFlight() const { return m_placementsInFlight(); }

    /// Starts a client program; nullptr when it does not start. Clients end with closeEverything().
    QProcess *start(const QString &program, const QStringList &arguments);
    const std::vector<std::unique_ptr<QProcess>> &clients() const { return m_clients; }

    /// The application's first window, while it has one.
    std::optional<DesktopWindow> window(const QString &appId) const;
    /// The application's first window; one with id 0 while it has none.
    DesktopWindow windowNamed(const QString &appId) const;
    /// The frame of the application's first window; an empty one while it has none.
    QRectF frameOf(const QString &appId) const;
    QRectF monitorBounds(int index) const;
    QString monitorId(int index) const;
    void place(
        const QString &appId, const QRectF &frame, WindowState state = {}, std::optional<int> desktop = std::nullopt);
    bool noWindowsLeft() const;

    // The following check as they go; a failure counts against the running test function.

    /// Every application has a window within the time.
    void waitForWindows(const QStringList &appIds, int timeoutMs);
    /// Every application is asked to close, and every window goes.
    void closeAllApplications();
    /// closeAllApplications(), then every client ends (killed when it will not).
    void closeEverything();
    /// Launches the entries (documents left alone, nothing closed) and waits until their windows are placed and
    /// the placements read back.
    void launchAndSettle(const QList<EntryData> &entries, int timeoutMs);

    /// The outcome of a launch, once reported within the time.
    std::optional<LaunchOutcome> launch(const LaunchRequest &request, int timeoutMs);

    // Rounds every desktop goes through alike; the test starts the windows they name and waits for them.

    /// Launched by id, the application starts and reports its one window.
    void checkLaunchFindsItsWindow(const QString &appId, int timeoutMs);
    /// A window titled with the path of an existing file (a space and an apostrophe in it) carries that file as
    /// its document; `startTitled` starts `appId`'s window with the title it is given.
    void checkWindowNamesItsDocument(const QString &appId, const std::function<void(const QString &)> &startTitled);
    /// An application nobody installed does not start.
    void checkUnknownApplicationDoesNotStart();
    /// Focus mode launching only `kept`'s entry closes the others' windows and leaves `kept`'s.
    void checkFocusModeKeepsOnly(const QString &kept, const QStringList &closed);
    /// One window full screen on the second monitor, another on the second virtual desktop: captured, moved away
    /// and launched back.
    void checkFullScreenAndDesktopComeBack(
        const QString &fullScreen, const QString &onSecondDesktop, int launchTimeoutMs);
    /// The corvalint command captures the window where it stands and, once it moved away, launches it back there;
    /// `launchOptions` go before "launch".
    void checkCommandLineRoundTrip(const QString &appId, const QStringList &launchOptions);

private:
    DesktopPlatform &m_desktop;
    std::function<int()> m_placementsInFlight;
    QtAutomationClock m_clock;
    AutomationService m_service;
    std::vector<std::unique_ptr<QProcess>> m_clients;
};
