// Turns the running applications' windows into workspace entries: what to reopen and where each window stood.
#include "desktopcapture.h"

#include "localfileurl.h"

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
    QList<PlatformScreen> screens;
    PlatformProfile profile;
    ScriptedDocuments documents;
    std::array<int, 4> browserCursors {};
    int fileManagerCursor = 0;
    int ideCursor = 0;
    QList<EntryData> entries;
};

DesktopCapture::DesktopCapture(DesktopPlatform &platform, const DisplayLocator &displays,
    const WindowReader &windows, const DocumentCollector &documents)
    : m_platform(platform)
    , m_displays(displays)
    , m_windows(windows)
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
    const QList<RunningApplication> running = m_platform.runningApplications();
    run.screens = m_platform.screens();
    run.profile = m_platform.profile();
    // Every collector runs before any window is looked at.
    run.documents = m_documents.collect(running, run.profile);

    const std::optional<QString> ownIdentifier = m_platform.ownBundleIdentifier();
    for (const RunningApplication &application : running) {
        if (!takesPart(application, ownIdentifier))
            continue;
        const auto windows = m_windows.copyWindowList(application);
        if (!windows)
            continue;
        for (WindowRef window : *windows)
            captureWindow(run, *application.bundleIdentifier, window);
    }
    return run.entries;
}

bool DesktopCapture::takesPart(const RunningApplication &application, const std::optional<QString> &ownIdentifier) const
{
    if (application.activationPolicy != regularPolicy)
        return false;
    if (!application.bundleIdentifier)
        return false;
    if (ownIdentifier && *ownIdentifier == *application.bundleIdentifier)
        return false;
    return !carriesOwnMarker(*application.bundleIdentifier);
}

void DesktopCapture::captureWindow(Run &run, const QString &identifier, WindowRef window) const
{
    // Only the file manager's windows may be untitled (its desktop and empty folders).
    if (m_windows.windowTitle(window).isEmpty() && identifier != run.profile.fileManager)
        return;

    const WindowState state = m_windows.readWindowState(window);
    const auto monitorID
        = m_displays.monitorIDForFrame(QRectF(state.x, state.y, state.width, state.height), run.screens);

    auto entry = entryForWindow(run, identifier, window);
    if (!entry)
        return;
    entry->monitorID = monitorID;
    entry->frameX = state.x;
    entry->frameY = state.y;
    entry->width = state.width;
    entry->height = state.height;
    entry->isFullscreen = state.isFullscreen;

    // The monitor's bounds go with the frame so that a launch can rescale it
    // when that monitor has changed size.
    if (monitorID) {
        if (const auto match = m_displays.screenForMonitorID(*monitorID, run.screens)) {
            entry->originalScreenX = match->bounds.x();
            entry->originalScreenY = match->bounds.y();
            entry->originalScreenWidth = match->bounds.width();
            entry->originalScreenHeight = match->bounds.height();
        }
    }
    run.entries.append(*entry);
}

std::optional<EntryData> DesktopCapture::entryForWindow(Run &run, const QString &identifier, WindowRef window) const
{
    const PlatformProfile &profile = run.profile;

    // Browsers: windows take their browser's URLs one by one; their own document is not read.
    const int browser = profile.browserIndex(identifier);
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

DesktopCapture::DocumentOutcome DesktopCapture::documentRule(const QString &identifier, WindowRef window) const
{
    const auto document = m_windows.windowDocument(window);
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
