// The desktop of GNOME Shell on Wayland (Wayland and Xwayland windows alike) through Corvalint's own shell
// extension: windows and monitors from one call, placement, activation and closing as calls, new windows from its
// signal, monitor names from Mutter's DisplayConfig, launching through GIO.
#pragma once

#include "automation/desktopplatform.h"
#include "gnomedisplayconfig.h"
#include "gnomeextensionstatus.h"
#include "gnomeshellstate.h"
#include "platform/linux/entrylauncher.h"

#include <QElapsedTimer>
#include <QHash>
#include <memory>
#include <optional>
#include <vector>

class GnomeShellClient;
class LinuxDocuments;
class ProcessExecutables;

class GnomeDesktop : public DesktopPlatform
{
    Q_OBJECT
    /// Empty while the extension works; else the one sentence telling the user what to do (the app's banner and
    /// the settings page show it).
    Q_PROPERTY(QString extensionProblem READ extensionProblem NOTIFY extensionProblemChanged)

public:
    /// Corvalint's own desktop entry ID.
    static constexpr QLatin1StringView ownIdentifier { "corvalint" };
    /// How long a launch may take to show its first window before it counts as failed.
    static constexpr int launchTimeoutMs = 10000;
    /// How long after a placement its frame is read back and, when the window did not take it, asked once more
    /// (a Wayland client answers Mutter's new size only later).
    static constexpr int correctionDelayMs = 200;

    /// Connects to the extension on the session bus. With `needExtension`, nothing unless it works (`error` then
    /// holds the instruction for the user); without, a desktop that lists nothing until it does.
    static std::unique_ptr<GnomeDesktop> connect(bool needExtension, QString *error);
    /// Whether this session is GNOME Shell on Wayland: a Wayland session whose session bus has org.gnome.Shell.
    static bool sessionIsGnomeWayland();
    ~GnomeDesktop() override;

    DesktopSnapshot snapshot() override;
    /// The shell's monitors, named by Mutter's DisplayConfig; primary first.
    QList<DesktopMonitor> monitors() const override;
    bool canControlWindows() const override;
    /// The extension's problem, as extensionProblem.
    QString controlInstruction() const override { return m_problem; }
    std::optional<QString> ownAppId() const override;
    PlatformProfile profile() const override;
    std::optional<QStringList> collectDocuments(DocumentRole role, const QString &appId) override;
    std::optional<QList<BrowserWindowTabs>> collectBrowserWindows(const QString &appId) override;
    FileStatus fileStatus(const QString &path) const override;
    std::unique_ptr<DesktopPlatform> openReader() const override;
    bool offersReader() const override { return true; }

    /// Out of full screen and maximised state, onto the workspace and exactly the frame, then into the state the
    /// placement asks for: one call. Read back after correctionDelayMs and asked once more when not there.
    void place(WindowId window, const WindowPlacement &placement) override;
    void activate(WindowId window) override;
    /// The close button of each of the application's windows; never a kill.
    void closeApplication(const DesktopApplication &application) override;

    bool canLaunch(const QString &appId) const override;
    /// As on X11 (GIO, browsers with their own options); reported once the extension says a window of the
    /// application appeared, or as not started after launchTimeoutMs.
    void launch(const LaunchRequest &request, LaunchCompletion completion) override;
    void openUrl(const QUrl &url) override;

    QString extensionProblem() const { return m_problem; }
    /// Looks at the extension again (after installing it, or when it came or went).
    void refreshExtensionStatus();
    /// The client, for the top-bar menu and the benchmark's count of round trips.
    GnomeShellClient &client() const { return *m_client; }

    int placementsInFlight() const { return m_inFlight; }
    int correctionsSent() const { return m_corrections; }
    QString lastError() const { return m_lastError; }

signals:
    void extensionProblemChanged();

private slots:
    void onMonitorsChanged();

private:
    struct Reading;
    struct PendingLaunch;

    GnomeDesktop(std::unique_ptr<GnomeShellClient> client, bool listen);
    Reading read() const;
    QString appIdOf(const GnomeShellWindow &window, ProcessExecutables &executables) const;
    QList<DesktopMonitor> monitorsOf(const GnomeShellState &state) const;
    const QList<GnomeLogicalMonitor> &logicalMonitors() const;
    void correctLater(quint64 window, const QRect &frame, quint64 generation);
    void checkLaunches(bool timedOut);

    std::unique_ptr<GnomeShellClient> m_client;
    std::unique_ptr<LinuxDocuments> m_documents;
    EntryLauncher m_launcher;
    QString m_problem;
    mutable QString m_lastError;
    mutable std::optional<QList<GnomeLogicalMonitor>> m_logical;
    mutable std::optional<QPoint> m_origin;
    QHash<quint64, quint64> m_placementGeneration;
    std::vector<std::unique_ptr<PendingLaunch>> m_launches;
    int m_inFlight = 0;
    int m_corrections = 0;
};
