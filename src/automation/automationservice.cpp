// The desktop automation's one entry point: capture of the desktop, launch of a workspace, and window placement.
#include "automationservice.h"

#include "launchdelay.h"
#include "localfileurl.h"

#include <QPointer>
#include <QSet>
#include <QUrl>

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
    , m_displays(platform)
    , m_windows(platform)
    , m_documents(platform)
    , m_capture(platform, m_displays, m_windows, m_documents)
    , m_placer(platform, m_displays)
{
}

AutomationService::~AutomationService() = default;

QList<EntryData> AutomationService::captureCurrentDesktop()
{
    return m_capture.capture();
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
            m_platform.openURL(QUrl::fromLocalFile(*entry.filePath));
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
                m_platform.openURL(*url);
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
    keep.insert(m_platform.ownBundleIdentifier().value_or(QString()));

    for (const RunningApplication &application : m_platform.runningApplications()) {
        if (application.activationPolicy != regularPolicy)
            continue;
        if (!m_windows.hasUsableWindow(application))
            continue;
        if (!application.bundleIdentifier || keep.contains(*application.bundleIdentifier))
            continue;
        m_platform.terminate(application);
    }
}

DesktopPlatform::LaunchCompletion AutomationService::placeOnCompletion(const EntryData &entry)
{
    return [self = QPointer<AutomationService>(this), entry](std::optional<RunningApplication> application) {
        if (!self || !application)
            return;
        self->placeWhenReady(*application, entry);
    };
}

void AutomationService::openApplication(const QString &bundleIdentifier, const EntryData &entry)
{
    const auto location = m_platform.applicationLocation(bundleIdentifier);
    if (!location)
        return;
    m_platform.openApplication(*location, placeOnCompletion(entry));
}

void AutomationService::openDocument(const QString &path, const EntryData &entry)
{
    const QUrl url = QUrl::fromLocalFile(path);
    if (entry.appBundleIdentifier) {
        if (const auto location = m_platform.applicationLocation(*entry.appBundleIdentifier)) {
            m_platform.openDocuments({ url }, *location, placeOnCompletion(entry));
            return;
        }
    }
    m_platform.openURL(url);
    placeAfterDocument(entry);
}

QCoro::Task<> AutomationService::placeWhenReady(RunningApplication application, EntryData entry)
{
    const PlacementTicket ticket(this);
    AutomationClock &clock = m_clock;
    for (int attempt = 0; attempt < placementAttempts; ++attempt) {
        co_await clock.sleep(placementRetryInterval);
        if (!ticket.alive())
            co_return;
        // True as soon as the application shows a window: the loop waits for
        // windows to appear, not for the placement to take effect.
        if (placeWindows(application.processIdentifier, entry))
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
    for (const RunningApplication &application : m_platform.runningApplications()) {
        if (application.activationPolicy == regularPolicy && application.bundleIdentifier
            && profile.browserIndex(*application.bundleIdentifier) >= 0)
            placeWindows(application.processIdentifier, entry);
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
    if (const auto application = firstRunning(fileManager))
        placeWindows(application->processIdentifier, entry);
}

QCoro::Task<> AutomationService::placeAfterDocument(EntryData entry)
{
    const PlacementTicket ticket(this);
    co_await m_clock.sleep(documentPlacementPause);
    if (!ticket.alive() || !entry.appBundleIdentifier)
        co_return;
    if (const auto application = firstRunning(*entry.appBundleIdentifier))
        placeWindows(application->processIdentifier, entry);
}

std::optional<RunningApplication> AutomationService::firstRunning(const QString &bundleIdentifier) const
{
    for (const RunningApplication &application : m_platform.runningApplications()) {
        if (application.bundleIdentifier && *application.bundleIdentifier == bundleIdentifier)
            return application;
    }
    return std::nullopt;
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

std::optional<QString> AutomationService::monitorIDForScreen(const PlatformScreen &screen) const
{
    return m_displays.monitorIDForScreen(screen);
}

std::optional<QString> AutomationService::monitorIDForFrame(
    double x, double y, double width, double height, const QList<PlatformScreen> &screens) const
{
    return m_displays.monitorIDForFrame(QRectF(x, y, width, height), screens);
}

std::optional<ScreenMatch> AutomationService::screenForMonitorID(
    const QString &monitorID, const QList<PlatformScreen> &screens) const
{
    return m_displays.screenForMonitorID(monitorID, screens);
}

QRectF AutomationService::placementFrame(const EntryData &entry) const
{
    return m_placer.frameFor(entry);
}

std::optional<QList<WindowRef>> AutomationService::copyWindowList(const RunningApplication &application) const
{
    return m_windows.copyWindowList(application);
}

QString AutomationService::windowTitle(WindowRef window) const
{
    return m_windows.windowTitle(window);
}

WindowState AutomationService::readWindowState(WindowRef window) const
{
    return m_windows.readWindowState(window);
}

std::optional<QString> AutomationService::windowDocument(WindowRef window) const
{
    return m_windows.windowDocument(window);
}

bool AutomationService::hasUsableWindow(const RunningApplication &application) const
{
    return m_windows.hasUsableWindow(application);
}

QStringList AutomationService::runScript(DocumentRole role, const QString &applicationIdentifier) const
{
    return m_documents.run(role, applicationIdentifier);
}

ScriptedDocuments AutomationService::collectScriptedDocuments(const QList<RunningApplication> &running) const
{
    return m_documents.collect(running, m_platform.profile());
}
