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
#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>
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

public:
    /// Retry rhythm of an application launched by identifier.
    static constexpr double placementRetryInterval = 0.2;
    static constexpr int placementAttempts = 15;
    /// Pauses before the single placement after opening with a default handler.
    static constexpr double websitePlacementPause = 0.8;
    static constexpr double folderPlacementPause = 0.5;
    static constexpr double documentPlacementPause = 1.0;

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
    QCoro::Task<> launchWorkspace(QList<EntryData> entries, bool restoreDocuments, bool focusMode);

    /// Asks every regular application with a usable window to quit, unless an
    /// entry names it or it is this program. Waits for nothing.
    void quitOtherApplications(const QList<EntryData> &entries);
    /// Launches (or brings forward) the installed application with this id
    /// and, once the desktop reports it running, places its windows.
    void openApplication(const QString &appId, const EntryData &entry);
    /// Opens a document with the entry's application when that is installed,
    /// else with its default application followed by one placement.
    void openDocument(const QString &path, const EntryData &entry);
    /// Tries `placeWindows` every 0.2 s, at most 15 times, until the
    /// application running as `pid` shows a window.
    QCoro::Task<> placeWhenReady(qint64 pid, EntryData entry);
    /// The same for an application known only by its id (started by the
    /// desktop over D-Bus): the first running application with that id.
    QCoro::Task<> placeWhenReady(QString appId, EntryData entry);
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

private:
    class PlacementTicket;

    static constexpr double usableWindowMinimum = 10.0;

    void openEntry(const EntryData &entry, bool restoreDocuments);
    DesktopPlatform::LaunchCompletion placeOnCompletion(const EntryData &entry);
    /// Places the windows of the first running application with this id.
    bool placeWindowsOf(const QString &appId, const EntryData &entry);
    /// Calls `attempt` every 0.2 s, at most 15 times, until it reports a window placed.
    QCoro::Task<> retryPlacement(std::function<bool()> attempt);
    void placementStarted();
    void placementEnded();

    DesktopPlatform &m_platform;
    AutomationClock &m_clock;
    DocumentCollector m_documents;
    std::unique_ptr<CaptureReader> m_reader;
    DesktopCapture m_capture;
    WindowPlacer m_placer;
    int m_pendingPlacements = 0;
};
