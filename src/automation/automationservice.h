// The desktop automation's one entry point: capture of the desktop, launch of a workspace, and window placement.
#pragma once

#include "automationclock.h"
#include "capturereader.h"
#include "collecteddocuments.h"
#include "desktopcapture.h"
#include "desktopplatform.h"
#include "documentcollector.h"
#include "model/entrydata.h"
#include "screenmatch.h"
#include "windowplacer.h"

#include <QCoro/QCoroTask>
#include <QHash>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

/// Bound to the main thread; one instance is created at start-up and handed to
/// whoever needs it. The platform and the clock must outlive every task it
/// starts; the service itself may go away while placements are still waiting.
class AutomationService : public QObject
{
    Q_OBJECT
    /// Placement tasks still waiting or retrying; the launch does not wait for them.
    Q_PROPERTY(int pendingPlacements READ pendingPlacements NOTIFY pendingPlacementsChanged)
    /// How long a launched application may take to show its window before its
    /// placement is given up (seconds; a cold browser or IDE takes 5 to 20).
    Q_PROPERTY(
        double windowWaitSeconds READ windowWaitSeconds WRITE setWindowWaitSeconds NOTIFY windowWaitSecondsChanged)
    /// A launch opens its entries or still waits for their windows.
    Q_PROPERTY(bool launching READ launching NOTIFY launchingChanged)
    /// What the last launch could not do, one German sentence per entry; empty when all went well.
    Q_PROPERTY(QStringList launchProblems READ launchProblems NOTIFY launchProblemsChanged)

public:
    /// Rhythm of the looks for a launched application's window between the
    /// desktop's own reports of new windows: every 0.2 s for the first 3 s,
    /// then every second.
    static constexpr double placementRetryInterval = 0.2;
    static constexpr int placementAttempts = 15;
    static constexpr double slowRetryInterval = 1.0;
    static constexpr double defaultWindowWaitSeconds = 30.0;
    static constexpr double longestWindowWaitSeconds = 600.0;
    /// Pauses before the single placement after opening with a default handler.
    static constexpr double websitePlacementPause = 0.8;
    static constexpr double folderPlacementPause = 0.5;
    static constexpr double documentPlacementPause = 1.0;
    /// Between placing a new browser window and handing it the further tabs,
    /// so that the browser knows it as its most recently active window.
    static constexpr double tabsAfterWindowPause = 0.5;
    /// When a newly placed window is looked at once more, and how far off its position may be.
    static constexpr double placementSettleSeconds = 1.5;
    static constexpr double settledPrecision = 2.0;
    /// How often a browser window waiting for its turn looks again.
    static constexpr double browserTurnInterval = 0.1;

    AutomationService(DesktopPlatform &platform, AutomationClock &clock, QObject *parent = nullptr);
    ~AutomationService() override;

    // --- Capture -------------------------------------------------------------

    /// New entries, one per qualifying window of the current desktop, each
    /// with a fresh id; the caller makes records of them. Synchronous.
    QList<EntryData> captureCurrentDesktop();
    /// The same capture, read on a thread of its own where the desktop offers
    /// a second connection (X11): the window keeps drawing meanwhile. Where it
    /// does not (the simulated desktop), completes at once without suspending.
    QCoro::Task<QList<EntryData>> captureDesktop();

    // --- Launch --------------------------------------------------------------

    /// Opens the entries in order, pausing each entry's delay after it; with
    /// `focusMode` first asks every other windowed application to quit.
    /// Completes after the last pause; placements it started go on by themselves.
    /// A window already open that an entry describes (its application's, not
    /// yet given to another entry) is placed instead of opening a second one.
    QCoro::Task<> launchWorkspace(QList<EntryData> entries, bool restoreDocuments, bool focusMode);

    /// Asks every regular application with a usable window to quit, unless an
    /// entry names it or it is this program. Waits for nothing.
    void quitOtherApplications(const QList<EntryData> &entries);
    /// Places a window of the installed application with this id that is open
    /// and not yet placed for another entry; otherwise starts the application
    /// (another window of it when it runs) and places its new window.
    void openApplication(const QString &appId, const EntryData &entry);
    /// Opens a document or folder with the entry's application when that is
    /// installed (a window already showing it is placed instead), else with
    /// its default application followed by one placement.
    void openDocument(const QString &path, const EntryData &entry);
    /// Opens one new window of the browser with the first address, places it,
    /// then hands it the further addresses as tabs.
    void openBrowserWindow(const QString &appId, const QList<QUrl> &urls, const EntryData &entry);
    /// The single placements after opening with a default handler: every
    /// regular browser of the profile (after 0.8 s), the first running file
    /// manager (0.5 s), the first application with the entry's id (1.0 s).
    QCoro::Task<> placeAfterWebsite(EntryData entry);
    QCoro::Task<> placeAfterFolder(EntryData entry);
    QCoro::Task<> placeAfterDocument(EntryData entry);
    /// Places every window of the application running as `pid` with the
    /// entry's frame; false when it shows no known window.
    bool placeWindows(qint64 pid, const EntryData &entry);

    int pendingPlacements() const { return m_pendingPlacements; }
    bool launching() const { return m_launchesRunning > 0 || (m_launchesStarted && m_pendingPlacements > 0); }
    QStringList launchProblems() const { return m_launchProblems; }
    /// A short name of an entry for messages: its application, file, folder or site.
    static QString entryLabel(const EntryData &entry);
    /// Whether the desktop lets this program read other applications' windows.
    bool canReadWindows() const { return m_platform.canControlWindows(); }
    double windowWaitSeconds() const { return m_windowWaitSeconds; }
    /// Values that are not a number or not above 0 give the default; at most 600 s.
    void setWindowWaitSeconds(double seconds);

    // --- Monitors ------------------------------------------------------------

    /// The identifier of the monitor holding most of `frame` now.
    std::optional<QString> monitorIdForFrame(const QRectF &frame) const;
    /// Each current monitor's identifier, primary first; nothing for one without.
    QList<std::optional<QString>> monitorIds() const;
    /// The current monitor with this identifier.
    std::optional<ScreenMatch> monitorWithId(const QString &monitorId) const;
    /// The frame `placeWindows` would give this entry's windows now (for previews).
    QRectF placementFrame(const EntryData &entry) const;

    // --- Windows and documents -----------------------------------------------

    /// Whether the application shows a normal window or dialog wider and
    /// taller than 10 pixels: one a user would miss when it closes.
    static bool hasUsableWindow(const DesktopApplication &application);
    /// The document lists one capture hands out.
    CollectedDocuments collectDocuments(const QList<DesktopApplication> &running) const;

signals:
    void pendingPlacementsChanged();
    /// The last pending placement task has ended.
    void placementsIdle();
    void windowWaitSecondsChanged();
    void launchingChanged();
    void launchProblemsChanged();
    /// A launch is over: every entry was opened and its window placed or given up.
    void launchFinished();

private:
    class PlacementTicket;
    struct WindowWatch;
    struct Waiter;
    struct LaunchReport;

    static constexpr double usableWindowMinimum = 10.0;

    void openEntry(const EntryData &entry, bool restoreDocuments);
    /// An open window of `appId` not yet given to an entry (showing `document`
    /// when one is named), placed with the entry's frame; false when none.
    bool placeOpenWindow(const QString &appId, const std::optional<QString> &document, const EntryData &entry);
    /// The windows `appId` has open now.
    QSet<WindowId> windowsOf(const QString &appId);
    /// Starts `request` and, once it started, waits for its new window and places it.
    void launchAndPlace(const LaunchRequest &request, WindowWatch watch);
    /// Places the first new window `watch` describes; false while there is none.
    bool placeNewWindow(const WindowWatch &watch);
    /// Places a new window once more when it did not stay as placed.
    QCoro::Task<> checkPlacementLater(WindowId window, EntryData entry);
    /// Calls `attempt` on every report of new windows and now and then,
    /// until it reports a window placed or `boundSeconds` have passed; then
    /// `gaveUp`, when given.
    QCoro::Task<> retryPlacement(std::function<bool()> attempt, double boundSeconds, std::function<void()> gaveUp = {});
    void addLaunchProblem(const QString &problem);
    void updateLaunching();
    void windowsChanged();
    /// A window of the browser (not yet given to an entry) whose session shows `url`, with its tabs.
    struct OpenBrowserWindow {
        WindowId window = 0;
        QStringList urls;
    };
    std::optional<OpenBrowserWindow> openBrowserWindowWith(const QString &appId, const QUrl &url);
    /// Opens the browser window once no other window of that browser is being
    /// opened, places it, then hands it the further tabs.
    QCoro::Task<> openBrowserWindowInTurn(QString appId, QList<QUrl> urls, EntryData entry);
    /// Keeps the launch counted until the desktop reports on it, for at most `bound` seconds; past that, the
    /// launch is a problem and no longer counted.
    QCoro::Task<> awaitLaunchReport(std::shared_ptr<LaunchReport> report, double bound, QString label);
    /// Places the windows of the first running application with this id.
    bool placeWindowsOf(const QString &appId, const EntryData &entry);
    void placementStarted();
    void placementEnded();

    DesktopPlatform &m_platform;
    AutomationClock &m_clock;
    DocumentCollector m_documents;
    std::unique_ptr<CaptureReader> m_reader;
    DesktopCapture m_capture;
    WindowPlacer m_placer;
    int m_pendingPlacements = 0;
    double m_windowWaitSeconds = defaultWindowWaitSeconds;
    int m_launchesRunning = 0;
    bool m_launchesStarted = false;
    bool m_wasLaunching = false;
    QStringList m_launchProblems;
    /// Windows given to an entry during the current launch.
    QSet<WindowId> m_claimed;
    /// Open windows set aside at the start of a launch for the entry (by id)
    /// whose saved title they carry, when an application shows several.
    QHash<QUuid, WindowId> m_reserved;
    /// Reserves the open windows of each application among `entries` for
    /// its application entries, by title and then by order.
    void reserveOpenWindows(const QList<EntryData> &entries);
    /// Whether `window` is set aside for another entry than `entry`.
    bool reservedForOther(WindowId window, const EntryData &entry) const;
    /// The entries of the current launch, for the titles of the windows they wait for.
    QList<EntryData> m_launchEntries;
    /// Whether another entry of the current launch saved exactly this window's title (and `entry` did not).
    bool titledForOther(const DesktopWindow &window, const EntryData &entry) const;
    QList<std::shared_ptr<Waiter>> m_waiters;
    /// Browsers with a window on its way and its tabs not yet handed over.
    QSet<QString> m_browsersOpening;
};
