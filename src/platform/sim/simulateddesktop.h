// A deterministic desktop in memory, on virtual time: what the automation sees and a log of what it asked for.
#pragma once

#include "automation/desktopplatform.h"
#include "simtypes.h"
#include "virtualclock.h"

#include <QHash>
#include <QJsonObject>
#include <QMap>
#include <QPointer>

/// Reports what the other platform would (its identifiers, attribute names and
/// script answers), so every rule of the automation can be checked literally.
/// Launch completions and new windows arrive through the virtual clock.
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
    /// Back to an empty, trusted desktop with the classic profile.
    void reset();

    // --- Building the desktop --------------------------------------------------

    void setScreens(const QList<SimScreen> &screens);
    void setMainScreenIndex(std::optional<int> index);
    void setTrusted(bool trusted);
    void setOwnBundleIdentifier(const std::optional<QString> &identifier);
    void setProfile(const PlatformProfile &profile);
    /// Adds a running application and returns its process identifier.
    qint64 addRunningApplication(const SimApplication &application);
    /// Adds a window at the end of a running application's list; 0 when there is no such process.
    WindowRef addWindow(qint64 processIdentifier, const SimWindow &window);
    void removeWindow(WindowRef window);
    void setWindowListMissing(qint64 processIdentifier, bool missing);
    void setWindowAttribute(WindowRef window, const QString &attribute, const QVariant &value);
    void removeWindowAttribute(WindowRef window, const QString &attribute);
    void installApplication(const SimInstalledApplication &application);
    void setScriptResult(const QString &applicationIdentifier, const ScriptResult &result);
    void setFile(const QString &path, bool isDirectory);

    // --- Inspecting it ---------------------------------------------------------

    QList<WindowRef> windowsOf(qint64 processIdentifier) const;
    QVariantMap windowAttributes(WindowRef window) const;
    std::optional<RunningApplication> runningApplication(const QString &bundleIdentifier) const;
    /// How often the window list of this process was read.
    int windowListReads(qint64 processIdentifier) const { return m_windowListReads.value(processIdentifier); }

    QList<SimRequest> requests() const { return m_requests; }
    /// The requests of one action, in order.
    QList<SimRequest> requests(const QString &action) const;
    int requestCount() const { return int(m_requests.size()); }
    void clearRequests();
    /// The log as JSON lines, one request per line.
    QByteArray requestLogJsonLines() const;

    // --- DesktopPlatform -----------------------------------------------------------

    QList<PlatformScreen> screens() const override;
    std::optional<int> mainScreenIndex() const override { return m_mainScreen; }
    QRectF displayBounds(quint32 displayNumber) const override;
    std::optional<QString> displayUUID(quint32 displayNumber) const override;
    QList<RunningApplication> runningApplications() const override;
    std::optional<QString> ownBundleIdentifier() const override { return m_ownIdentifier; }
    void terminate(const RunningApplication &application) override;
    std::optional<QString> applicationLocation(const QString &bundleIdentifier) const override;
    void openApplication(const QString &location, LaunchCompletion completion) override;
    void openDocuments(const QList<QUrl> &urls, const QString &location, LaunchCompletion completion) override;
    void openURL(const QUrl &url) override;
    FileStatus fileStatus(const QString &path) const override;
    bool isTrusted() const override { return m_trusted; }
    std::optional<QList<WindowRef>> copyWindowList(qint64 processIdentifier) override;
    QVariant copyAttribute(WindowRef window, QLatin1StringView attribute) override;
    void setAttribute(WindowRef window, QLatin1StringView attribute, const QVariant &value) override;
    ScriptResult runScript(DocumentRole role, const QString &applicationIdentifier) override;
    PlatformProfile profile() const override { return m_profile; }

signals:
    void trustedChanged();
    void requestLogged(const SimRequest &request);

private:
    struct Process {
        RunningApplication info;
        bool windowListMissing = false;
        bool quitsOnTerminate = true;
        QList<WindowRef> windows;
    };

    void log(SimRequest request);
    void launch(const QString &location, LaunchCompletion completion);
    void startProcess(const SimInstalledApplication &installed, LaunchCompletion completion);
    void finishLaunch(const SimInstalledApplication &installed);
    /// Runs `action` after `delay` virtual seconds unless this desktop was reset or destroyed.
    void later(double delay, std::function<void()> action);
    const SimInstalledApplication *installedAt(const QString &location) const;
    const SimScreen *screenWithNumber(quint32 displayNumber) const;
    Process *process(qint64 processIdentifier);
    const Process *process(qint64 processIdentifier) const;

    VirtualClock &m_clock;
    QList<SimScreen> m_screens;
    std::optional<int> m_mainScreen;
    bool m_trusted = true;
    std::optional<QString> m_ownIdentifier;
    PlatformProfile m_profile = PlatformProfile::classic();
    QList<Process> m_processes;
    QHash<WindowRef, SimWindow> m_windows;
    QList<SimInstalledApplication> m_installed;
    QHash<QString, ScriptResult> m_scripts;
    QHash<QString, bool> m_files;
    QHash<qint64, int> m_windowListReads;
    /// Completions waiting for a launch that is under way, by identifier: a
    /// second open of a starting application joins the first launch.
    QHash<QString, QList<LaunchCompletion>> m_startingLaunches;
    /// Bumped by `reset`, so that events scheduled for an earlier desktop are dropped.
    quint64 m_generation = 0;
    QList<SimRequest> m_requests;
    qint64 m_nextProcessIdentifier = 1000;
    WindowRef m_nextWindow = 1;
};
