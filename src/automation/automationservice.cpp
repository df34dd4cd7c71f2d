// The desktop automation's one entry point: capture of the desktop, launch of a workspace, and window placement.
#include "automationservice.h"

#include "displaylocator.h"
#include "launchdelay.h"
#include "localfileurl.h"

#include <QCoreApplication>
#include <QCoro/QCoroSignal>
#include <QPointer>
#include <QSet>
#include <QUrl>
#include <algorithm>

namespace {

// What reaches xdg-open or an application's command line must be an address and nothing else: a stored
// "-h" or "--version" would be read as an option, "-rf" made into "file:-rf", and a "javascript:" or
// relative address is nothing a handler should be given from a workspace file.

/// Files and folders: only an absolute path names one.
bool isAbsolutePath(const std::optional<QString> &path)
{
    return path && path->startsWith(QLatin1Char('/'));
}

/// Websites: http and https with a host. A local page (a file URL on this machine, as browsers show them)
/// counts too and goes on as a plain file URL.
std::optional<QUrl> websiteURL(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme();
    if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty())
        return url;
    if (const auto path = localPathOfFileUrl(url))
        return QUrl::fromLocalFile(*path);
    return std::nullopt;
}

} // namespace

/// Counts one placement task for as long as it runs, and tells it whether the
/// service (and its platform) still exist after each pause: the tasks outlive
/// the launch and may outlive the service.
class AutomationService::PlacementTicket
{
public:
    explicit PlacementTicket(AutomationService *service)
        : m_service(service)
        , m_platform(&service->m_platform)
    {
        service->placementStarted();
    }
    ~PlacementTicket()
    {
        if (m_service)
            m_service->placementEnded();
    }
    PlacementTicket(const PlacementTicket &) = delete;
    PlacementTicket &operator=(const PlacementTicket &) = delete;

    bool alive() const { return m_service && m_platform; }

private:
    QPointer<AutomationService> m_service;
    QPointer<DesktopPlatform> m_platform;
};

AutomationService::AutomationService(DesktopPlatform &platform, AutomationClock &clock, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_clock(clock)
    , m_documents(platform)
    , m_capture(platform, m_documents)
    , m_placer(platform)
{
}

AutomationService::~AutomationService() = default;

QList<EntryData> AutomationService::captureCurrentDesktop()
{
    return m_capture.capture();
}

QCoro::Task<QList<EntryData>> AutomationService::captureDesktop()
{
    if (!m_platform.offersReader())
        co_return captureCurrentDesktop();
    if (!m_reader)
        m_reader = std::make_unique<CaptureReader>(m_platform);
    CaptureJob job;
    m_reader->capture(&job, [&job](const QList<EntryData> &entries) { emit job.done(entries); });
    co_return co_await qCoro(&job, &CaptureJob::done);
}

QCoro::Task<> AutomationService::launchWorkspace(QList<EntryData> entries, bool restoreDocuments, bool focusMode)
{
    const QPointer<AutomationService> self(this);
    AutomationClock &clock = m_clock;
    if (focusMode)
        quitOtherApplications(entries);
    for (const EntryData &entry : std::as_const(entries)) {
        if (!self)
            co_return;
        openEntry(entry, restoreDocuments);
        // The pause follows every entry, whether anything opened or not.
        if (const auto pause = launchPauseSeconds(entry.delayAfterLaunch))
            co_await clock.sleep(*pause);
    }
}

void AutomationService::openEntry(const EntryData &entry, bool restoreDocuments)
{
    switch (entry.type()) {
    case EntryType::application:
        if (entry.appBundleIdentifier)
            openApplication(*entry.appBundleIdentifier, entry);
        return;
    case EntryType::file:
        if (restoreDocuments) {
            if (isAbsolutePath(entry.filePath))
                openDocument(*entry.filePath, entry);
        } else if (entry.appBundleIdentifier) {
            openApplication(*entry.appBundleIdentifier, entry);
        }
        return;
    case EntryType::folder:
        if (!restoreDocuments) {
            const QString fallback = m_platform.profile().folderFallback;
            if (!fallback.isEmpty())
                openApplication(fallback, entry);
        } else if (isAbsolutePath(entry.filePath)) {
            m_platform.openUrl(QUrl::fromLocalFile(*entry.filePath));
            placeAfterFolder(entry);
        }
        return;
    case EntryType::website:
        if (!restoreDocuments) {
            const QString fallback = m_platform.profile().websiteFallback;
            if (!fallback.isEmpty())
                openApplication(fallback, entry);
        } else if (entry.websiteURL) {
            if (const auto url = websiteURL(*entry.websiteURL)) {
                m_platform.openUrl(*url);
                placeAfterWebsite(entry);
            }
        }
        return;
    }
}

void AutomationService::quitOtherApplications(const QList<EntryData> &entries)
{
    QSet<QString> keep;
    for (const EntryData &entry : entries) {
        if (entry.appBundleIdentifier)
            keep.insert(*entry.appBundleIdentifier);
    }
    keep.insert(m_platform.ownAppId().value_or(QString()));

    for (const DesktopApplication &application : m_platform.snapshot().applications) {
        if (!application.regular || !hasUsableWindow(application))
            continue;
        // Corvalint never asks itself to quit, whatever id its windows resolve to (run from a build
        // folder, it has no desktop entry of its own).
        if (application.hasPid(QCoreApplication::applicationPid()))
            continue;
        if (application.appId.isEmpty() || keep.contains(application.appId))
            continue;
        m_platform.closeApplication(application);
    }
}

DesktopPlatform::LaunchCompletion AutomationService::placeOnCompletion(const EntryData &entry)
{
    return [self = QPointer<AutomationService>(this), entry](const LaunchOutcome &outcome) {
        if (!self || !outcome.started)
            return;
        // An application the desktop started for us (D-Bus activation) has no process of
        // ours to follow: its windows are found by its id instead.
        if (outcome.pid)
            self->placeWhenReady(*outcome.pid, entry);
        else if (!outcome.appId.isEmpty())
            self->placeWhenReady(outcome.appId, entry);
    };
}

void AutomationService::openApplication(const QString &appId, const EntryData &entry)
{
    if (!m_platform.canLaunch(appId))
        return;
    m_platform.launch(LaunchRequest { appId, {} }, placeOnCompletion(entry));
}

void AutomationService::openDocument(const QString &path, const EntryData &entry)
{
    const QUrl url = QUrl::fromLocalFile(path);
    if (entry.appBundleIdentifier && m_platform.canLaunch(*entry.appBundleIdentifier)) {
        m_platform.launch(LaunchRequest { *entry.appBundleIdentifier, { url } }, placeOnCompletion(entry));
        return;
    }
    m_platform.openUrl(url);
    placeAfterDocument(entry);
}

QCoro::Task<> AutomationService::placeWhenReady(qint64 pid, EntryData entry)
{
    return retryPlacement([this, pid, entry = std::move(entry)] { return placeWindows(pid, entry); });
}

QCoro::Task<> AutomationService::placeWhenReady(QString appId, EntryData entry)
{
    return retryPlacement(
        [this, appId = std::move(appId), entry = std::move(entry)] { return placeWindowsOf(appId, entry); });
}

QCoro::Task<> AutomationService::retryPlacement(std::function<bool()> attempt)
{
    const PlacementTicket ticket(this);
    AutomationClock &clock = m_clock;
    for (int tries = 0; tries < placementAttempts; ++tries) {
        co_await clock.sleep(placementRetryInterval);
        if (!ticket.alive())
            co_return;
        // True as soon as the application shows a window: the loop waits for
        // windows to appear, not for the placement to take effect.
        if (attempt())
            co_return;
    }
}

QCoro::Task<> AutomationService::placeAfterWebsite(EntryData entry)
{
    const PlacementTicket ticket(this);
    co_await m_clock.sleep(websitePlacementPause);
    if (!ticket.alive())
        co_return;
    // Which browser took the address is unknown: every running one gets the frame.
    const PlatformProfile profile = m_platform.profile();
    const DesktopSnapshot desktop = m_platform.snapshot();
    for (const DesktopApplication &application : desktop.applications) {
        if (application.regular && profile.browserIndex(application.appId) >= 0)
            m_placer.placeWindows(application, entry, desktop);
    }
}

QCoro::Task<> AutomationService::placeAfterFolder(EntryData entry)
{
    const PlacementTicket ticket(this);
    co_await m_clock.sleep(folderPlacementPause);
    if (!ticket.alive())
        co_return;
    const QString fileManager = m_platform.profile().fileManager;
    if (fileManager.isEmpty())
        co_return;
    placeWindowsOf(fileManager, entry);
}

QCoro::Task<> AutomationService::placeAfterDocument(EntryData entry)
{
    const PlacementTicket ticket(this);
    co_await m_clock.sleep(documentPlacementPause);
    if (!ticket.alive() || !entry.appBundleIdentifier)
        co_return;
    placeWindowsOf(*entry.appBundleIdentifier, entry);
}

bool AutomationService::placeWindowsOf(const QString &appId, const EntryData &entry)
{
    const DesktopSnapshot desktop = m_platform.snapshot();
    for (const DesktopApplication &application : desktop.applications) {
        if (application.appId == appId)
            return m_placer.placeWindows(application, entry, desktop);
    }
    return false;
}

bool AutomationService::placeWindows(qint64 processIdentifier, const EntryData &entry)
{
    return m_placer.placeWindows(processIdentifier, entry);
}

void AutomationService::placementStarted()
{
    ++m_pendingPlacements;
    emit pendingPlacementsChanged();
}

void AutomationService::placementEnded()
{
    --m_pendingPlacements;
    emit pendingPlacementsChanged();
    if (m_pendingPlacements == 0)
        emit placementsIdle();
}

std::optional<QString> AutomationService::monitorIdForFrame(const QRectF &frame) const
{
    return DisplayLocator::monitorIdForFrame(frame, m_platform.monitors());
}

QList<std::optional<QString>> AutomationService::monitorIds() const
{
    QList<std::optional<QString>> ids;
    for (const DesktopMonitor &monitor : m_platform.monitors())
        ids.append(DisplayLocator::identifierOf(monitor));
    return ids;
}

std::optional<ScreenMatch> AutomationService::monitorWithId(const QString &monitorId) const
{
    return DisplayLocator::monitorWithId(monitorId, m_platform.monitors());
}

QRectF AutomationService::placementFrame(const EntryData &entry) const
{
    return m_placer.frameFor(entry);
}

bool AutomationService::hasUsableWindow(const DesktopApplication &application)
{
    if (!application.windowsKnown)
        return false;
    return std::any_of(application.windows.cbegin(), application.windows.cend(), [](const DesktopWindow &window) {
        return window.isStandard() && window.frame.width() > usableWindowMinimum
            && window.frame.height() > usableWindowMinimum;
    });
}

CollectedDocuments AutomationService::collectDocuments(const QList<DesktopApplication> &running) const
{
    return m_documents.collect(running, m_platform.profile());
}
