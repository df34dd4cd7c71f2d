// The desktop of KWin on Wayland (Wayland and Xwayland windows alike) through scripts that KWin runs on request:
// windows and outputs from a listing script, placement, activation and closing as scripts, launching through GIO.
#pragma once

#include "automation/desktopplatform.h"
#include "kwinscripts.h"
#include "kwinwindowlist.h"
#include "platform/linux/entrylauncher.h"

#include <QElapsedTimer>
#include <QHash>
#include <memory>
#include <optional>
#include <vector>

class KWinScriptRunner;
class LinuxDocuments;
class ProcessExecutables;
class QTimer;

class KWinDesktop : public DesktopPlatform
{
    Q_OBJECT

public:
    /// Corvalint's own desktop entry ID.
    static constexpr QLatin1StringView ownIdentifier { "corvalint" };
    /// How long a launch may take to show its first window before it counts as failed.
    static constexpr int launchTimeoutMs = 10000;
    /// How long after a placement its frame is read back and, when the window did not take it, asked once more
    /// (a Wayland client answers KWin's new size only later, and may answer an older one first).
    static constexpr int correctionDelayMs = 200;
    /// How often windows are looked for while something waits for them (KWin tells no one outside of it).
    static constexpr int windowPollMs = 200;

    /// Connects to KWin on the session bus. Nothing, with `error` filled, when KWin is not there.
    static std::unique_ptr<KWinDesktop> connect(QString *error);
    /// Whether this session is KWin on Wayland: a Wayland session whose session bus has org.kde.KWin.
    static bool sessionIsKWinWayland();
    ~KWinDesktop() override;

    /// Every normal window, dialog and utility window of every application, Wayland and Xwayland alike.
    DesktopSnapshot snapshot() override;
    /// KWin's outputs, its first one as the primary (Wayland has no primary output).
    QList<DesktopMonitor> monitors() const override;
    bool canControlWindows() const override;
    std::optional<QString> ownAppId() const override;
    PlatformProfile profile() const override;
    std::optional<QStringList> collectDocuments(DocumentRole role, const QString &appId) override;
    std::optional<QList<BrowserWindowTabs>> collectBrowserWindows(const QString &appId) override;
    FileStatus fileStatus(const QString &path) const override;
    std::unique_ptr<DesktopPlatform> openReader() const override;
    bool offersReader() const override { return true; }

    /// Out of full screen and maximised state, onto the desktop, onto exactly the frame, then into the state the
    /// placement asks for. Read back after correctionDelayMs and asked once more when not there.
    void place(WindowId window, const WindowPlacement &placement) override;
    void activate(WindowId window) override;
    /// closeWindow() on each of the application's windows: as its close button; never a kill.
    void closeApplication(const DesktopApplication &application) override;

    bool canLaunch(const QString &appId) const override;
    /// As on X11 (GIO, browsers with their own options); reported once a new window is found by application id
    /// or process, or as not started after launchTimeoutMs.
    void launch(const LaunchRequest &request, LaunchCompletion completion) override;
    void openUrl(const QUrl &url) override;

    /// Placements whose read-back is still due (a diagnostic for tests).
    int placementsInFlight() const { return m_inFlight; }
    /// Placements that needed a second request (a diagnostic for tests).
    int correctionsSent() const { return m_corrections; }
    /// The last error of a script (a diagnostic for tests and the log).
    QString lastError() const { return m_lastError; }
    /// D-Bus method calls to and from KWin so far, and the waits for them (see KWinScriptRunner; for the bench).
    quint64 dbusCalls() const;
    quint64 dbusWaits() const;

private:
    struct Reading;
    struct PendingLaunch;

    explicit KWinDesktop(std::unique_ptr<KWinScriptRunner> runner);
    /// The listing, with each window's application id; `withStates` adds the maximised state (one more call to
    /// KWin per window).
    Reading read(bool withStates) const;
    std::optional<QByteArray> runScript(const QString &body) const;
    QString appIdOf(const KWinWindow &window, ProcessExecutables &executables) const;
    QList<DesktopMonitor> monitorsOf(const KWinWindowList &list) const;
    void correctLater(const QString &internalId, const KWinPlacementGoal &goal, quint64 generation);
    void watchForWindow(const QString &appId, qint64 pid, const QList<WindowId> &before, LaunchCompletion completion);
    void checkWindows();

    std::unique_ptr<KWinScriptRunner> m_runner;
    std::unique_ptr<LinuxDocuments> m_documents;
    EntryLauncher m_launcher;
    mutable QString m_lastError;
    QTimer *m_windowPoll = nullptr;
    QList<WindowId> m_knownWindows;
    /// The latest placement of each window: a read-back only corrects the placement it belongs to.
    QHash<QString, quint64> m_placementGeneration;
    std::vector<std::unique_ptr<PendingLaunch>> m_launches;
    int m_inFlight = 0;
    int m_corrections = 0;
};
