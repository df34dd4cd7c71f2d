// The desktop automation's one entry point: capture of the desktop, launch of a workspace, and window placement.
#include "automationservice.h"

#include "browserwindowpairing.h"
#include "displaylocator.h"
#include "launchdelay.h"
#include "localfileurl.h"
#include "titlematching.h"

#include <QCoreApplication>
#include <QCoro/QCoroSignal>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <cmath>

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

QString noNewWindowProblem(const QString &label, double bound)
{
    return QStringLiteral("„%1“ zeigte innerhalb von %2 s kein neues Fenster.").arg(label).arg(bound);
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
    connect(&platform, &DesktopPlatform::windowsChanged, this, &AutomationService::windowsChanged);
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

/// What a placement waits for: a window of this application (or process)
/// that was not open before the launch and is not yet given to an entry.
struct AutomationService::WindowWatch {
    QString appId;
    std::optional<qint64> pid;
    QSet<WindowId> before;
    /// The document the window should show, as a URL, when the desktop tells.
    std::optional<QString> document;
    EntryData entry;
    double boundSeconds = defaultWindowWaitSeconds;
    /// Called once with the window placed.
    std::function<void(WindowId)> placed;
};

/// A launch the desktop has not reported on yet.
struct AutomationService::LaunchReport {
    std::unique_ptr<PlacementTicket> ticket;
    bool arrived = false;
};

/// One placement waiting for its window; woken by the desktop's reports.
struct AutomationService::Waiter {
    std::function<bool()> attempt;
    std::unique_ptr<PlacementTicket> ticket;
    bool done = false;
};

QCoro::Task<> AutomationService::launchWorkspace(QList<EntryData> entries, bool restoreDocuments, bool focusMode)
{
    const QPointer<AutomationService> self(this);
    AutomationClock &clock = m_clock;
    m_claimed.clear();
    m_launchEntries = entries;
    reserveOpenWindows(entries);
    if (m_launchesRunning == 0 && !launching() && !m_launchProblems.isEmpty()) {
        m_launchProblems.clear();
        emit launchProblemsChanged();
    }
    ++m_launchesRunning;
    m_launchesStarted = true;
    updateLaunching();
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
    if (!self)
        co_return;
    --m_launchesRunning;
    updateLaunching();
}

void AutomationService::updateLaunching()
{
    const bool now = launching();
    if (now == m_wasLaunching)
        return;
    m_wasLaunching = now;
    emit launchingChanged();
    if (!now) {
        m_launchesStarted = false;
        emit launchFinished();
    }
}

void AutomationService::addLaunchProblem(const QString &problem)
{
    m_launchProblems.append(problem);
    emit launchProblemsChanged();
}

QString AutomationService::entryLabel(const EntryData &entry)
{
    switch (entry.type()) {
    case EntryType::website:
        if (entry.websiteURL) {
            const QString host = QUrl(*entry.websiteURL).host();
            return host.isEmpty() ? *entry.websiteURL : host;
        }
        break;
    case EntryType::file:
    case EntryType::folder:
        if (entry.filePath)
            return QFileInfo(*entry.filePath).fileName().isEmpty() ? *entry.filePath
                                                                   : QFileInfo(*entry.filePath).fileName();
        break;
    case EntryType::application:
        break;
    }
    return entry.appBundleIdentifier.value_or(QStringLiteral("?"));
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
            // A folder saved from a file manager goes back to that one.
            if (entry.appBundleIdentifier && m_platform.canLaunch(*entry.appBundleIdentifier)) {
                openDocument(*entry.filePath, entry);
            } else {
                m_platform.openUrl(QUrl::fromLocalFile(*entry.filePath));
                placeAfterFolder(entry);
            }
        }
        return;
    case EntryType::website:
        if (!restoreDocuments) {
            const QString fallback = m_platform.profile().websiteFallback;
            if (!fallback.isEmpty())
                openApplication(fallback, entry);
        } else if (entry.websiteURL) {
            // A browser's own pages (about:, chrome:) cannot be handed over; the window opens with the
            // first tab that can.
            QList<QUrl> urls;
            for (const QString &tab : QStringList { *entry.websiteURL } + entry.additionalTabURLs) {
                if (const auto url = websiteURL(tab))
                    urls.append(*url);
            }
            if (urls.isEmpty())
                return;
            if (entry.appBundleIdentifier && m_platform.canLaunch(*entry.appBundleIdentifier)) {
                openBrowserWindow(*entry.appBundleIdentifier, urls, entry);
            } else {
                // Saved without its browser, or that browser is gone: the default one takes the tabs.
                for (const QUrl &url : std::as_const(urls))
                    m_platform.openUrl(url);
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

void AutomationService::openApplication(const QString &appId, const EntryData &entry)
{
    if (!m_platform.canLaunch(appId)) {
        addLaunchProblem(QStringLiteral("„%1“ ist nicht installiert.").arg(appId));
        return;
    }
    if (placeOpenWindow(appId, std::nullopt, entry))
        return;
    const QSet<WindowId> before = windowsOf(appId);
    // Running, with every window taken by earlier entries: one more window of it. A running single-instance
    // application may only bring its window forward, and a running one needs no long wait for a new window.
    const LaunchMode mode = before.isEmpty() ? LaunchMode::open : LaunchMode::newWindow;
    const double bound = before.isEmpty() ? m_windowWaitSeconds : placementRetryInterval * placementAttempts;
    WindowWatch watch { appId, std::nullopt, before, std::nullopt, entry, bound, {} };
    launchAndPlace(LaunchRequest { appId, {}, mode }, std::move(watch));
}

void AutomationService::openDocument(const QString &path, const EntryData &entry)
{
    const QUrl url = QUrl::fromLocalFile(path);
    if (entry.appBundleIdentifier && m_platform.canLaunch(*entry.appBundleIdentifier)) {
        const QString appId = *entry.appBundleIdentifier;
        // In the form the desktops give a window's document, so that a path with a space is found open.
        const QString document = url.toString(QUrl::FullyEncoded);
        if (placeOpenWindow(appId, document, entry))
            return;
        const QSet<WindowId> before = windowsOf(appId);
        // A running application may show the document in a window it has (a tab): then no new window comes,
        // and a running application needs no long wait for one that does.
        const double bound = before.isEmpty() ? m_windowWaitSeconds : placementRetryInterval * placementAttempts;
        WindowWatch watch { appId, std::nullopt, before, document, entry, bound, {} };
        launchAndPlace(LaunchRequest { appId, { url }, LaunchMode::open }, std::move(watch));
        return;
    }
    m_platform.openUrl(url);
    placeAfterDocument(entry);
}

void AutomationService::openBrowserWindow(const QString &appId, const QList<QUrl> &urls, const EntryData &entry)
{
    if (!urls.isEmpty())
        openBrowserWindowInTurn(appId, urls, entry);
}

QCoro::Task<> AutomationService::openBrowserWindowInTurn(QString appId, QList<QUrl> urls, EntryData entry)
{
    const PlacementTicket ticket(this);
    AutomationClock &clock = m_clock;
    // One window of a browser at a time: its further tabs go to the window the browser saw last, which must
    // still be this one when they are handed over.
    const double bound = m_windowWaitSeconds;
    for (double waited = 0; m_browsersOpening.contains(appId) && waited < 2 * bound; waited += browserTurnInterval) {
        co_await clock.sleep(browserTurnInterval);
        if (!ticket.alive())
            co_return;
    }
    m_browsersOpening.insert(appId);

    // A window of the browser that shows the first tab already is this entry's window: placed, and given
    // only the tabs it lacks.
    if (const auto open = openBrowserWindowWith(appId, urls.front())) {
        m_claimed.insert(open->window);
        m_placer.placeWindow(open->window, entry, m_platform.snapshot());
        QList<QUrl> missing;
        for (const QUrl &url : urls) {
            if (!open->urls.contains(QString::fromUtf8(url.toEncoded())) && !open->urls.contains(url.toString()))
                missing.append(url);
        }
        if (!missing.isEmpty()) {
            co_await clock.sleep(tabsAfterWindowPause);
            if (!ticket.alive())
                co_return;
            m_platform.launch(LaunchRequest { appId, missing, LaunchMode::newTabs }, {});
            co_await clock.sleep(tabsAfterWindowPause);
            if (!ticket.alive())
                co_return;
        }
        m_browsersOpening.remove(appId);
        co_return;
    }

    auto placed = std::make_shared<bool>(false);
    WindowWatch watch { appId, std::nullopt, windowsOf(appId), std::nullopt, entry, bound, {} };
    watch.placed = [placed](WindowId) { *placed = true; };
    launchAndPlace(LaunchRequest { appId, { urls.front() }, LaunchMode::newWindow }, std::move(watch));
    for (double waited = 0; !*placed && waited < bound; waited += browserTurnInterval) {
        co_await clock.sleep(browserTurnInterval);
        if (!ticket.alive())
            co_return;
    }
    const QList<QUrl> tabs = urls.mid(1);
    if (*placed && !tabs.isEmpty()) {
        // The browser notices its newly active window a moment after the window manager says so.
        co_await clock.sleep(tabsAfterWindowPause);
        if (!ticket.alive())
            co_return;
        m_platform.launch(LaunchRequest { appId, tabs, LaunchMode::newTabs }, {});
        co_await clock.sleep(tabsAfterWindowPause);
        if (!ticket.alive())
            co_return;
    }
    m_browsersOpening.remove(appId);
}

std::optional<AutomationService::OpenBrowserWindow> AutomationService::openBrowserWindowWith(
    const QString &appId, const QUrl &url)
{
    const std::optional<QList<BrowserWindowTabs>> sessions = m_platform.collectBrowserWindows(appId);
    if (!sessions || sessions->isEmpty())
        return std::nullopt;
    QList<DesktopWindow> windows;
    for (const DesktopApplication &application : m_platform.snapshot().applications) {
        if (application.appId != appId || !application.windowsKnown)
            continue;
        // Windows already given to entries pair too: leaving them out would shift the others' pairs.
        for (const DesktopWindow &window : application.windows) {
            if (window.kind == WindowKind::normal)
                windows.append(window);
        }
    }
    const QHash<WindowId, int> paired = BrowserWindowPairing::pair(windows, *sessions);
    const QString encoded = QString::fromUtf8(url.toEncoded());
    for (const DesktopWindow &window : std::as_const(windows)) {
        const auto session = paired.constFind(window.id);
        if (session == paired.constEnd() || m_claimed.contains(window.id))
            continue;
        const QStringList &urls = (*sessions)[*session].urls;
        if (urls.contains(encoded) || urls.contains(url.toString()))
            return OpenBrowserWindow { window.id, urls };
    }
    return std::nullopt;
}

void AutomationService::reserveOpenWindows(const QList<EntryData> &entries)
{
    m_reserved.clear();
    QHash<QString, QList<EntryData>> byApplication;
    QStringList order;
    for (const EntryData &entry : entries) {
        if (entry.type() != EntryType::application || !entry.appBundleIdentifier)
            continue;
        if (!byApplication.contains(*entry.appBundleIdentifier))
            order.append(*entry.appBundleIdentifier);
        byApplication[*entry.appBundleIdentifier].append(entry);
    }
    if (order.isEmpty())
        return;
    const DesktopSnapshot desktop = m_platform.snapshot();
    for (const QString &appId : std::as_const(order)) {
        QList<WindowId> windows;
        QStringList titles;
        for (const DesktopApplication &application : desktop.applications) {
            if (application.appId != appId || !application.windowsKnown)
                continue;
            for (const DesktopWindow &window : application.windows) {
                if (window.isStandard()) {
                    windows.append(window.id);
                    titles.append(window.title);
                }
            }
        }
        const QList<EntryData> &saved = byApplication[appId];
        QList<std::optional<QString>> savedTitles;
        for (const EntryData &entry : saved)
            savedTitles.append(entry.windowTitle);
        const QList<int> chosen = TitleMatching::match(savedTitles, titles);
        for (qsizetype i = 0; i < saved.size(); ++i) {
            if (chosen[i] >= 0)
                m_reserved.insert(saved[i].id, windows[chosen[i]]);
        }
    }
}

bool AutomationService::reservedForOther(WindowId window, const EntryData &entry) const
{
    for (auto it = m_reserved.cbegin(); it != m_reserved.cend(); ++it) {
        if (it.value() == window && it.key() != entry.id)
            return true;
    }
    return false;
}

bool AutomationService::titledForOther(const DesktopWindow &window, const EntryData &entry) const
{
    if (window.title.isEmpty() || entry.windowTitle == window.title)
        return false;
    return std::any_of(m_launchEntries.cbegin(), m_launchEntries.cend(), [&](const EntryData &other) {
        return other.id != entry.id && other.appBundleIdentifier == entry.appBundleIdentifier
            && other.windowTitle == window.title;
    });
}

bool AutomationService::placeOpenWindow(
    const QString &appId, const std::optional<QString> &document, const EntryData &entry)
{
    const DesktopSnapshot desktop = m_platform.snapshot();
    const auto reserved = m_reserved.constFind(entry.id);
    QList<DesktopWindow> candidates;
    for (const DesktopApplication &application : desktop.applications) {
        if (application.appId != appId || !application.windowsKnown)
            continue;
        for (const DesktopWindow &window : application.windows) {
            if (!window.isStandard() || m_claimed.contains(window.id))
                continue;
            // A document entry takes only the window that shows its document.
            if (document && window.document != document)
                continue;
            if (!document && reserved != m_reserved.cend() && *reserved == window.id) {
                candidates = { window };
                break;
            }
            if (!reservedForOther(window.id, entry))
                candidates.append(window);
        }
    }
    if (candidates.isEmpty())
        return false;
    // Of several windows, the one with the entry's title (or the most alike) is its window.
    qsizetype pick = 0;
    if (entry.windowTitle && candidates.size() > 1) {
        QStringList titles;
        for (const DesktopWindow &window : std::as_const(candidates))
            titles.append(window.title);
        pick = TitleMatching::closest(*entry.windowTitle, titles).value_or(0);
    }
    const WindowId chosen = candidates[pick].id;
    m_claimed.insert(chosen);
    m_placer.placeWindow(chosen, entry, desktop);
    return true;
}

QSet<WindowId> AutomationService::windowsOf(const QString &appId)
{
    QSet<WindowId> windows;
    for (const DesktopApplication &application : m_platform.snapshot().applications) {
        if (application.appId != appId)
            continue;
        for (const DesktopWindow &window : application.windows)
            windows.insert(window.id);
    }
    return windows;
}

void AutomationService::launchAndPlace(const LaunchRequest &request, WindowWatch watch)
{
    // The launch is under way until the desktop reports on it, which some desktops do only once the window
    // shows: a command must not end, nor a launch count as done, before that.
    auto report = std::make_shared<LaunchReport>();
    report->ticket = std::make_unique<PlacementTicket>(this);
    awaitLaunchReport(report, watch.boundSeconds, entryLabel(watch.entry));
    m_platform.launch(request,
        [self = QPointer<AutomationService>(this), watch = std::move(watch), report](
            const LaunchOutcome &outcome) mutable {
            // Released once the report is handled (the placement below holds a ticket of its own), whatever
            // copies of this completion the desktop keeps.
            const auto handled = qScopeGuard([&report] {
                report->arrived = true;
                report->ticket.reset();
            });
            if (!self)
                return;
            if (!outcome.started) {
                self->addLaunchProblem(QStringLiteral("„%1“ ließ sich nicht starten.").arg(entryLabel(watch.entry)));
                return;
            }
            // The process we started, when the desktop names one; its windows may also come under the
            // application's id (a single-instance application hands over to its running copy).
            watch.pid = outcome.pid;
            if (!outcome.appId.isEmpty())
                watch.appId = outcome.appId;
            const double bound = watch.boundSeconds;
            const QString label = entryLabel(watch.entry);
            self->retryPlacement([self = self.data(), watch = std::move(watch)] { return self->placeNewWindow(watch); },
                bound,
                [self = self.data(), label, bound] { self->addLaunchProblem(noNewWindowProblem(label, bound)); });
        });
}

QCoro::Task<> AutomationService::awaitLaunchReport(std::shared_ptr<LaunchReport> report, double bound, QString label)
{
    AutomationClock &clock = m_clock;
    for (double waited = 0; !report->arrived && waited < bound; waited += placementRetryInterval) {
        co_await clock.sleep(placementRetryInterval);
        if (!report->ticket || !report->ticket->alive())
            co_return;
    }
    if (report->arrived || !report->ticket || !report->ticket->alive())
        co_return;
    report->ticket.reset();
    addLaunchProblem(noNewWindowProblem(label, bound));
}

bool AutomationService::placeNewWindow(const WindowWatch &watch)
{
    const DesktopSnapshot desktop = m_platform.snapshot();
    std::optional<DesktopWindow> chosen;
    QList<DesktopWindow> fresh;
    for (const DesktopApplication &application : desktop.applications) {
        const bool ours = watch.pid && application.hasPid(*watch.pid);
        if ((!ours && application.appId != watch.appId) || !application.windowsKnown)
            continue;
        for (const DesktopWindow &window : application.windows) {
            if (!window.isStandard() || watch.before.contains(window.id) || m_claimed.contains(window.id))
                continue;
            // An application that opens several windows shows them one by one: one that carries another
            // entry's title is left for that entry.
            if (titledForOther(window, watch.entry))
                continue;
            fresh.append(window);
            // The window showing the document, else the first main window, else the first at all.
            const bool better = !chosen
                || (watch.document && window.document == watch.document && chosen->document != watch.document)
                || (window.kind == WindowKind::normal && chosen->kind != WindowKind::normal
                    && !(watch.document && chosen->document == watch.document));
            if (better)
                chosen = window;
        }
    }
    if (!chosen)
        return false;
    // An application that opens several windows at once (its own session restored) gives each entry the
    // one with its title; the document rule above still wins.
    const bool documentShown = watch.document && chosen->document == watch.document;
    if (watch.entry.windowTitle && fresh.size() > 1 && !documentShown) {
        QStringList titles;
        for (const DesktopWindow &window : std::as_const(fresh))
            titles.append(window.title);
        if (const auto closest = TitleMatching::closest(*watch.entry.windowTitle, titles))
            chosen = fresh[*closest];
    }
    m_claimed.insert(chosen->id);
    m_placer.placeWindow(chosen->id, watch.entry, desktop);
    checkPlacementLater(chosen->id, watch.entry);
    if (watch.placed)
        watch.placed(chosen->id);
    return true;
}

QCoro::Task<> AutomationService::checkPlacementLater(WindowId window, EntryData entry)
{
    const PlacementTicket ticket(this);
    // A new window is still settling when it first shows: some applications apply a size or state they
    // remembered themselves a moment later (Chromium maximises a window when its last one was). One
    // look once that is over, and one more placement if the window is not as asked.
    co_await m_clock.sleep(placementSettleSeconds);
    if (!ticket.alive())
        co_return;
    const DesktopSnapshot desktop = m_platform.snapshot();
    for (const DesktopApplication &application : desktop.applications) {
        for (const DesktopWindow &found : application.windows) {
            if (found.id != window)
                continue;
            const QRectF wanted = WindowPlacer::frameFor(entry, desktop);
            const bool stateWrong = found.state.fullScreen != entry.isFullscreen
                || (!entry.isFullscreen && found.state.isMaximized() != entry.isMaximized);
            const bool frameWrong = !entry.isFullscreen && !entry.isMaximized
                && (std::abs(found.frame.x() - wanted.x()) > settledPrecision
                    || std::abs(found.frame.y() - wanted.y()) > settledPrecision);
            if (stateWrong || frameWrong)
                m_placer.placeWindow(window, entry, desktop);
            co_return;
        }
    }
}

QCoro::Task<> AutomationService::retryPlacement(
    std::function<bool()> attempt, double boundSeconds, std::function<void()> gaveUp)
{
    const QPointer<AutomationService> self(this);
    auto waiter = std::make_shared<Waiter>();
    waiter->attempt = std::move(attempt);
    waiter->ticket = std::make_unique<PlacementTicket>(this);
    m_waiters.append(waiter);
    AutomationClock &clock = m_clock;

    // Counted in steps, not summed seconds: 15 steps of 0.2 s must make 3 s exactly.
    const int quickSteps = placementAttempts;
    const double afterQuick = std::max(0.0, boundSeconds - placementRetryInterval * quickSteps);
    const int slowSteps = int(std::ceil(afterQuick / slowRetryInterval - 1e-9));
    const int quickLimit = std::min(quickSteps, int(std::ceil(boundSeconds / placementRetryInterval - 1e-9)));
    for (int step = 0; step < quickLimit + slowSteps; ++step) {
        co_await clock.sleep(step < quickLimit ? placementRetryInterval : slowRetryInterval);
        if (!self || waiter->done || !waiter->ticket || !waiter->ticket->alive())
            break;
        // True as soon as the application shows its window: the loop waits for
        // windows to appear, not for the placement to take effect.
        if (waiter->attempt()) {
            waiter->done = true;
            break;
        }
    }
    if (self) {
        self->m_waiters.removeOne(waiter);
        if (!waiter->done && gaveUp && waiter->ticket && waiter->ticket->alive())
            gaveUp();
    }
    waiter->ticket.reset();
}

void AutomationService::windowsChanged()
{
    // A copy: an attempt may start further launches (a browser's tabs) and so further waiters.
    const QList<std::shared_ptr<Waiter>> waiters = m_waiters;
    for (const std::shared_ptr<Waiter> &waiter : waiters) {
        if (waiter->done || !waiter->ticket || !waiter->ticket->alive())
            continue;
        if (waiter->attempt()) {
            waiter->done = true;
            // Counted as finished now; the loop notices at its next step.
            waiter->ticket.reset();
        }
    }
}

void AutomationService::setWindowWaitSeconds(double seconds)
{
    const double value = std::isfinite(seconds) && seconds > 0 ? std::min(seconds, longestWindowWaitSeconds)
                                                               : defaultWindowWaitSeconds;
    if (value == m_windowWaitSeconds)
        return;
    m_windowWaitSeconds = value;
    emit windowWaitSecondsChanged();
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
    updateLaunching();
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
