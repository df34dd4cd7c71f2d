// Turns the running applications' windows into workspace entries: what to reopen and where each window stood.
#include "desktopcapture.h"

#include "browserwindowpairing.h"
#include "localfileurl.h"

#include <QCoreApplication>
#include <QHash>
#include <QUrl>
#include <array>

namespace {

const QString ownMarker = QStringLiteral("corvalint");

EntryData makeEntry(EntryType type)
{
    EntryData entry;
    entry.typeRawValue = entryTypeText(type);
    entry.delayAfterLaunch = DesktopCapture::capturedDelay;
    return entry;
}

} // namespace

/// The state of one capture: its inputs, read once, and the lists' cursors.
struct DesktopCapture::Run {
    QList<DesktopMonitor> monitors;
    PlatformProfile profile;
    CollectedDocuments documents;
    std::array<int, 4> browserCursors {};
    /// Each browser window's session window, where the desktop tells them apart.
    QHash<WindowId, BrowserWindowTabs> browserTabs;
    int fileManagerCursor = 0;
    int ideCursor = 0;
    QList<EntryData> entries;
};

DesktopCapture::DesktopCapture(DesktopPlatform &platform, const DocumentCollector &documents)
    : m_platform(platform)
    , m_documents(documents)
{
}

bool DesktopCapture::carriesOwnMarker(const QString &text)
{
    return text.toLower().contains(ownMarker);
}

QList<EntryData> DesktopCapture::capture() const
{
    Run run;
    const DesktopSnapshot snapshot = m_platform.snapshot();
    run.monitors = snapshot.monitors;
    run.profile = m_platform.profile();
    // Every collector runs before any window is looked at.
    run.documents = m_documents.collect(snapshot.applications, run.profile);

    const std::optional<QString> ownAppId = m_platform.ownAppId();
    for (const DesktopApplication &application : snapshot.applications) {
        if (!takesPart(application, ownAppId) || !application.windowsKnown)
            continue;
        pairBrowserWindows(run, application);
        for (const DesktopWindow &window : application.windows)
            captureWindow(run, application.appId, window);
    }
    return run.entries;
}

void DesktopCapture::pairBrowserWindows(Run &run, const DesktopApplication &application) const
{
    const int browser = run.profile.browserIndex(application.appId);
    if (browser < 0 || !run.documents.browserWindows[size_t(browser)])
        return;
    const QList<BrowserWindowTabs> &sessions = *run.documents.browserWindows[size_t(browser)];
    QList<DesktopWindow> windows;
    for (const DesktopWindow &window : application.windows) {
        if (window.kind == WindowKind::normal)
            windows.append(window);
    }
    const QHash<WindowId, int> paired = BrowserWindowPairing::pair(windows, sessions);
    for (auto it = paired.cbegin(); it != paired.cend(); ++it)
        run.browserTabs.insert(it.key(), sessions[it.value()]);
}

bool DesktopCapture::takesPart(const DesktopApplication &application, const std::optional<QString> &ownAppId) const
{
    if (!application.regular || application.appId.isEmpty())
        return false;
    // Our own windows, known by our process whatever id they resolve to.
    if (application.hasPid(QCoreApplication::applicationPid()))
        return false;
    if (ownAppId && *ownAppId == application.appId)
        return false;
    return !carriesOwnMarker(application.appId);
}

void DesktopCapture::captureWindow(Run &run, const QString &appId, const DesktopWindow &window) const
{
    // Only the file manager's windows may be untitled (its desktop and empty folders).
    if (window.title.isEmpty() && appId != run.profile.fileManager)
        return;

    const QRectF frame = window.frame;
    const auto monitorID = DisplayLocator::monitorIdForFrame(frame, run.monitors);

    auto entry = entryForWindow(run, appId, window);
    if (!entry)
        return;
    entry->monitorID = monitorID;
    entry->frameX = frame.x();
    entry->frameY = frame.y();
    entry->width = frame.width();
    entry->height = frame.height();
    entry->isFullscreen = window.state.fullScreen;
    // Full screen wins: a full-screen window that was maximised before comes back full screen.
    entry->isMaximized = !window.state.fullScreen && window.state.isMaximized();
    entry->virtualDesktop = window.desktop;
    entry->windowTitle = window.title;

    // The monitor's bounds go with the frame so that a launch can rescale it
    // when that monitor has changed size.
    if (monitorID) {
        if (const auto match = DisplayLocator::monitorWithId(*monitorID, run.monitors)) {
            entry->originalScreenX = match->bounds.x();
            entry->originalScreenY = match->bounds.y();
            entry->originalScreenWidth = match->bounds.width();
            entry->originalScreenHeight = match->bounds.height();
        }
    }
    run.entries.append(*entry);
}

std::optional<EntryData> DesktopCapture::entryForWindow(
    Run &run, const QString &identifier, const DesktopWindow &window) const
{
    const PlatformProfile &profile = run.profile;

    // Browsers: windows take their browser's URLs one by one; their own document is not read.
    const int browser = profile.browserIndex(identifier);
    if (browser >= 0 && run.documents.browserWindows[size_t(browser)]) {
        // Each window with its own tabs, in its own browser.
        const auto tabs = run.browserTabs.constFind(window.id);
        if (tabs == run.browserTabs.constEnd() || tabs->urls.isEmpty()) {
            EntryData entry = makeEntry(EntryType::application);
            entry.appBundleIdentifier = identifier;
            return entry;
        }
        EntryData entry = makeEntry(EntryType::website);
        entry.appBundleIdentifier = identifier;
        entry.websiteURL = tabs->urls.first();
        entry.additionalTabURLs = tabs->urls.mid(1, maxAdditionalTabs);
        return entry;
    }
    if (browser >= 0) {
        const QStringList &urls = run.documents.browserURLs[size_t(browser)];
        int &cursor = run.browserCursors[size_t(browser)];
        const int at = cursor++;
        if (at >= 0 && at < urls.size()) {
            EntryData entry = makeEntry(EntryType::website);
            entry.websiteURL = urls[at];
            return entry;
        }
        EntryData entry = makeEntry(EntryType::application);
        entry.appBundleIdentifier = identifier;
        return entry;
    }

    const DocumentOutcome outcome = documentRule(identifier, window);
    if (outcome.kind == DocumentOutcome::made)
        return outcome.entry;
    if (outcome.kind == DocumentOutcome::dropWindow)
        return std::nullopt;

    if (identifier == profile.fileManager) {
        const int at = run.fileManagerCursor++;
        // An exhausted list means a window the collector did not report (the
        // desktop, a search): nothing to reopen, so no entry at all.
        if (at < 0 || at >= run.documents.fileManagerFolders.size())
            return std::nullopt;
        const QString &path = run.documents.fileManagerFolders[at];
        if (carriesOwnMarker(path))
            return std::nullopt;
        EntryData entry = makeEntry(EntryType::folder);
        entry.filePath = path;
        return entry;
    }

    // A program the desktop cannot start again (a window manager's message box,
    // a script's dialog) would come back as an entry that never opens anything.
    if (!m_platform.canLaunch(identifier))
        return std::nullopt;
    EntryData entry = makeEntry(EntryType::application);
    entry.appBundleIdentifier = identifier;
    if (identifier == profile.ide) {
        const int at = run.ideCursor++;
        if (at >= 0 && at < run.documents.ideDocuments.size()) {
            const QString &path = run.documents.ideDocuments[at];
            if (carriesOwnMarker(path))
                return std::nullopt;
            entry.typeRawValue = entryTypeText(EntryType::file);
            entry.filePath = path;
        }
    }
    return entry;
}

DesktopCapture::DocumentOutcome DesktopCapture::documentRule(
    const QString &identifier, const DesktopWindow &window) const
{
    const std::optional<QString> &document = window.document;
    if (!document)
        return {};
    const auto local = localPathOfFileUrl(QUrl(*document, QUrl::StrictMode));
    if (!local)
        return {};
    const QString &path = *local;
    if (carriesOwnMarker(path))
        return { DocumentOutcome::dropWindow, {} };

    const FileStatus status = m_platform.fileStatus(path);
    EntryData entry = makeEntry(status.exists && status.isDirectory ? EntryType::folder : EntryType::file);
    entry.appBundleIdentifier = identifier;
    entry.filePath = path;
    return { DocumentOutcome::made, entry };
}
