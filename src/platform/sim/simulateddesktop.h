// A deterministic desktop in memory, on virtual time: what the automation sees and a log of what it asked for.
#pragma once

#include "automation/desktopplatform.h"
#include "simlauncher.h"
#include "simrequestlog.h"
#include "simtypes.h"
#include "virtualclock.h"

#include <QHash>
#include <QJsonObject>

/// Answers with the identifiers of the classic profile unless told otherwise,
/// so that scenarios written for the old vocabulary keep describing the same
/// desktop. Launch completions and new windows arrive through the virtual clock.
class SimulatedDesktop : public DesktopPlatform
{
    Q_OBJECT
    Q_PROPERTY(bool trusted READ isTrusted WRITE setTrusted NOTIFY trustedChanged)
    Q_PROPERTY(int requestCount READ requestCount NOTIFY requestLogged)

public:
    explicit SimulatedDesktop(VirtualClock &clock, QObject *parent = nullptr);

    /// Replaces the whole desktop with the one a scenario describes (see
    /// docs/scenario-format.md). On failure the desktop is left empty and
    /// `error` says why.
    bool loadScenario(const QJsonObject &scenario, QString *error = nullptr);
    bool loadScenario(const QString &path, QString *error = nullptr);
    /// Back to an empty, trusted desktop with the classic profile; events
    /// scheduled for the earlier desktop are dropped.
    void reset();

    // --- Building the desktop --------------------------------------------------

    /// The screens, primary first; announced as a monitor change.
    void setScreens(const QList<SimScreen> &screens);
    /// The screen holding the focused window (the snapshot's focused monitor).
    void setMainScreenIndex(std::optional<int> index);
    /// Untrusted: windows can be neither listed nor placed (as a desktop that
    /// refuses window control); collectors still answer.
    void setTrusted(bool trusted);
    void setOwnAppId(const std::optional<QString> &identifier);
    void setProfile(const PlatformProfile &profile);
    /// Adds a running application and returns its process identifier.
    qint64 addRunningApplication(const SimApplication &application);
    /// Adds a window at the end of a running application's list; 0 when there is no such process.
    WindowId addWindow(qint64 processIdentifier, const SimWindow &window);
    void removeWindow(WindowId window);
    /// Replaces a window's state (a user moved it, an application retitled it).
    void setWindow(WindowId window, const SimWindow &state);
    void setWindowListMissing(qint64 processIdentifier, bool missing);
    void installApplication(const SimInstalledApplication &application);
    /// What the collector answers for this application (every role alike).
    void setScriptResult(const QString &applicationIdentifier, const ScriptResult &result);
    /// A browser whose windows and tabs the desktop can tell apart (as a
    /// session file does); without it the browser answers the flat script list.
    void setBrowserWindows(const QString &applicationIdentifier, const QList<BrowserWindowTabs> &windows);
    void setFile(const QString &path, bool isDirectory);

    // --- Inspecting it ---------------------------------------------------------

    bool isTrusted() const { return m_trusted; }
    QList<SimScreen> screens() const { return m_screens; }
    std::optional<int> mainScreenIndex() const { return m_mainScreen; }
    QList<WindowId> windowsOf(qint64 processIdentifier) const;
    /// A window as stored (whatever trust says), or nothing.
    std::optional<SimWindow> window(WindowId window) const;
    /// The window activated last, while it exists.
    std::optional<WindowId> activeWindow() const { return m_activeWindow; }
    /// The first running application with this id, as a snapshot lists it.
    std::optional<DesktopApplication> runningApplication(const QString &appId) const;
    /// Its process identifier, or 0.
    qint64 processIdentifierOf(const QString &appId) const;
    QList<DesktopApplication> runningApplications() const;
    /// How many snapshots were taken (placement takes one per attempt).
    int snapshotCount() const { return m_snapshots; }

    QList<SimRequest> requests() const { return m_log.all(); }
    /// The requests of one action, in order.
    QList<SimRequest> requests(const QString &action) const { return m_log.of(action); }
    int requestCount() const { return m_log.size(); }
    void clearRequests() { m_log.clear(); }
    /// The log as JSON lines, one request per line.
    QByteArray requestLogJsonLines() const { return m_log.jsonLines(); }

    // --- DesktopPlatform -----------------------------------------------------------

    DesktopSnapshot snapshot() override;
    QList<DesktopMonitor> monitors() const override;
    bool canControlWindows() const override { return m_trusted; }
    QString controlInstruction() const override { return m_controlInstruction; }
    /// What the desktop tells the user to do before windows can be arranged.
    void setControlInstruction(const QString &instruction)
    {
        m_controlInstruction = instruction;
        emit controlInstructionChanged();
    }
    std::optional<QString> ownAppId() const override { return m_ownIdentifier; }
    PlatformProfile profile() const override { return m_profile; }
    std::optional<QStringList> collectDocuments(DocumentRole role, const QString &appId) override;
    std::optional<QList<BrowserWindowTabs>> collectBrowserWindows(const QString &appId) override;
    FileStatus fileStatus(const QString &path) const override;
    void place(WindowId window, const WindowPlacement &placement) override;
    void activate(WindowId window) override;
    void closeApplication(const DesktopApplication &application) override;
    bool canLaunch(const QString &appId) const override;
    void launch(const LaunchRequest &request, LaunchCompletion completion) override;
    void openUrl(const QUrl &url) override;

signals:
    void trustedChanged();
    void requestLogged(const SimRequest &request);

private:
    struct Process {
        std::optional<QString> appId;
        int activationPolicy = SimPolicy::regular;
        qint64 pid = 0;
        bool windowListMissing = false;
        bool quitsOnTerminate = true;
        QList<WindowId> windows;
    };

    void log(SimRequest request);
    /// A request naming a window, with its application filled in.
    SimRequest windowRequest(const QString &action, WindowId window) const;
    /// The window a placement or activation may change: nothing while
    /// untrusted, for an unknown window, or one that refuses writes.
    SimWindow *writableWindow(WindowId window);
    DesktopApplication applicationOf(const Process &process) const;
    Process *process(qint64 processIdentifier);
    const Process *process(qint64 processIdentifier) const;
    const Process *processWithWindow(WindowId window) const;

    VirtualClock &m_clock;
    SimLauncher m_launcher;
    QList<SimScreen> m_screens;
    std::optional<int> m_mainScreen;
    bool m_trusted = true;
    QString m_controlInstruction;
    std::optional<QString> m_ownIdentifier;
    PlatformProfile m_profile = PlatformProfile::classic();
    QList<Process> m_processes;
    QHash<WindowId, SimWindow> m_windows;
    std::optional<WindowId> m_activeWindow;
    QHash<QString, ScriptResult> m_scripts;
    QHash<QString, QList<BrowserWindowTabs>> m_browserWindows;
    QHash<QString, bool> m_files;
    int m_snapshots = 0;
    SimRequestLog m_log;
    qint64 m_nextProcessIdentifier = 1000;
    WindowId m_nextWindow = 1;
};
