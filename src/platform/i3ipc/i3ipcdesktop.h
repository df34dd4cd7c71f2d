// The desktop of sway (Wayland) and i3 (X11) through their shared IPC: windows and outputs from GET_TREE and
// GET_OUTPUTS, placement and closing as commands, launching through GIO with new windows reported as events.
#pragma once

#include "automation/desktopplatform.h"
#include "i3tree.h"
#include "ipcflavour.h"
#include "platform/linux/entrylauncher.h"

#include <QElapsedTimer>
#include <QPoint>
#include <memory>
#include <optional>

class IpcEvents;
class IpcSocket;
class LinuxDocuments;
class ProcessExecutables;
class QTimer;

class I3IpcDesktop : public DesktopPlatform
{
    Q_OBJECT

public:
    /// Corvalint's own desktop entry ID.
    static constexpr QLatin1StringView ownIdentifier { "corvalint" };
    /// How long a launch may take to show its first window before it counts as failed.
    static constexpr int launchTimeoutMs = 10000;
    /// How long after a floating placement its frame is read back and, when the window did not take it,
    /// asked once more (an X11 client's late answer to its first tiled size can undo the first request).
    static constexpr int correctionDelayMs = 200;

    /// Connects to the IPC socket at `socketPath` (empty: found by IpcSocketLocator). Nothing, with `error`
    /// filled, when no sway or i3 answers there.
    static std::unique_ptr<I3IpcDesktop> connect(const QString &socketPath, QString *error);
    ~I3IpcDesktop() override;

    IpcFlavour flavour() const { return m_flavour; }
    QString socketPath() const { return m_socketPath; }

    /// Every window of the tree (tiled, floating, full screen, in the scratchpad), grouped by application.
    /// Tiled windows report as maximised: the layout, not the window, decides their frame.
    DesktopSnapshot snapshot() override;
    QList<DesktopMonitor> monitors() const override;
    /// The window manager answers on its socket.
    bool canControlWindows() const override;
    std::optional<QString> ownAppId() const override;
    PlatformProfile profile() const override;
    std::optional<QStringList> collectDocuments(DocumentRole role, const QString &appId) override;
    /// The browser's windows with their tabs from its session file (its processes: sway only).
    std::optional<QList<BrowserWindowTabs>> collectBrowserWindows(const QString &appId) override;
    FileStatus fileStatus(const QString &path) const override;
    std::unique_ptr<DesktopPlatform> openReader() const override;
    bool offersReader() const override { return true; }

    /// Full screen: on the output holding the frame. Maximised (a window that was tiled): tiled again, on that
    /// output or on the workspace `placement.desktop` names, where the layout puts it. Otherwise floating on
    /// exactly the frame. Read back after correctionDelayMs and asked once more when not there.
    void place(WindowId window, const WindowPlacement &placement) override;
    /// Focuses the window, unless another window of its workspace is full screen (focus would end that).
    void activate(WindowId window) override;
    /// `kill` on each window of the application: the window manager asks it to close, as its close button.
    void closeApplication(const DesktopApplication &application) override;

    bool canLaunch(const QString &appId) const override;
    /// As on X11 (GIO; in `LaunchMode::open` a running copy is brought forward or gets the URLs; browsers
    /// open new windows or tabs with their own options); reported once a new window is found by application id
    /// or process as the window manager reports new windows, or as not started after launchTimeoutMs.
    void launch(const LaunchRequest &request, LaunchCompletion completion) override;
    void openUrl(const QUrl &url) override;

    /// Subscribed to the window manager's events (else launches look for windows on a timer only).
    bool hearsEvents() const { return m_events != nullptr; }
    /// Placements whose read-back is still due (a diagnostic for tests).
    int placementsInFlight() const { return m_inFlight; }
    /// Placements that needed a second request after their read-back (a diagnostic for tests).
    int correctionsSent() const { return m_corrections; }

private:
    struct Reading;
    struct PendingLaunch;
    struct Goal;

    I3IpcDesktop(std::unique_ptr<IpcSocket> socket, QString socketPath, IpcFlavour flavour);
    /// Connects without subscribing to events (a reader has no use for them).
    static std::unique_ptr<I3IpcDesktop> open(const QString &socketPath, QString *error);
    /// Subscribes to window and output events: launches hear of new windows, the views of new outputs.
    void listen();
    /// Tries listen() again every little while, at most `attemptsLeft` times, until it succeeds.
    void resubscribe(int attemptsLeft);

    /// One request on the command connection (opened again first when it broke), at most
    /// IpcSocket::defaultTimeoutMs.
    std::optional<QByteArray> ask(quint32 type, const QByteArray &payload) const;
    bool run(const QString &command) const;
    Reading read() const;
    QList<I3Output> readOutputs() const;
    static QPoint originOf(const QList<I3Output> &outputs);
    QString appIdOf(const I3Window &window, ProcessExecutables &executables) const;
    /// The command that brings `now` to `goal`; nothing when it is there already.
    static std::optional<QString> commandFor(const I3Window &now, const Goal &goal);
    void correctLater(quint64 conId, const Goal &goal);
    void watchForWindow(const QString &appId, qint64 pid, const QList<WindowId> &before, LaunchCompletion completion);
    void checkLaunches();

    mutable std::unique_ptr<IpcSocket> m_socket;
    /// Never changes, so a reader on another thread may use it.
    const QString m_socketPath;
    const IpcFlavour m_flavour;
    std::unique_ptr<LinuxDocuments> m_documents;
    EntryLauncher m_launcher;
    std::unique_ptr<IpcEvents> m_events;
    /// The monitors at the last event that could have changed them.
    QList<DesktopMonitor> m_knownOutputs;
    QTimer *m_launchPoll = nullptr;
    std::vector<std::unique_ptr<PendingLaunch>> m_launches;
    int m_inFlight = 0;
    int m_corrections = 0;
};
