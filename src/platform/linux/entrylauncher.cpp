// Launch requests carried out through desktop entries, the same on every Linux desktop.
#include "entrylauncher.h"

#include "browsercommand.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace {
constexpr int entriesMaxAgeMs = 2000;

/// When the folders desktop entries are installed into last changed: an entry
/// added or removed changes its folder.
QList<qint64> applicationFoldersChanged()
{
    QList<qint64> stamps;
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        stamps << QFileInfo(folder).lastModified().toMSecsSinceEpoch();
    return stamps;
}
} // namespace

EntryLauncher::EntryLauncher(QString display, DesktopEntryCache cache)
    : m_launcher(std::move(display))
    , m_cache(std::move(cache))
{
}

const DesktopEntryIndex &EntryLauncher::entries() const
{
    if (!m_entriesAge.isValid() || m_entriesAge.elapsed() > entriesMaxAgeMs) {
        m_entriesStamp = applicationFoldersChanged();
        m_entries = m_cache.load();
        m_entriesAge.start();
    }
    return m_entries;
}

std::optional<QString> EntryLauncher::entryPath(const QString &appId) const
{
    if (auto path = entries().path(appId))
        return path;
    // Installed since the index was read? Only then is it read again: a capture
    // of many windows without an entry would read every entry once per window.
    if (applicationFoldersChanged() == m_entriesStamp)
        return std::nullopt;
    m_entriesAge.invalidate();
    return entries().path(appId);
}

bool EntryLauncher::canLaunch(const QString &appId) const
{
    return !appId.isEmpty() && entryPath(appId).has_value();
}

EntryLauncher::Step EntryLauncher::launch(
    const LaunchRequest &request, const Running &running, const std::function<void(WindowId)> &bringForward) const
{
    Step step;
    step.outcome = LaunchOutcome { false, request.appId, std::nullopt, {} };
    const auto location = request.appId.isEmpty() ? std::nullopt : entryPath(request.appId);
    if (!location)
        return step;
    const QString id = entries().idForPath(*location).value_or(request.appId);
    step.outcome.appId = id;
    QStringList uris;
    for (const QUrl &url : request.urls)
        uris.append(QString::fromUtf8(url.toEncoded()));

    const LaunchOutcome now = running(id);
    step.before = now.windows;
    if (request.mode == LaunchMode::open && now.started) {
        if (uris.isEmpty()) {
            // Already running: brought forward instead of starting a second copy.
            if (!now.windows.isEmpty())
                bringForward(now.windows.front());
        } else if (!m_launcher.launch(*location, uris)) {
            // A document always goes to the entry's command line; a single-instance application hands it on
            // to its running copy, which is what is reported.
            return step;
        }
        step.outcome = now;
        step.outcome.appId = id;
        step.handedToRunning = true;
        return step;
    }

    std::optional<DesktopLauncher::Started> started;
    const auto command = DesktopLauncher::command(*location);
    const bool browser = command && BrowserCommand::familyOf(command->front()) && !request.urls.isEmpty();
    if (browser && request.mode == LaunchMode::newWindow)
        started = m_launcher.run(*command, BrowserCommand::newWindow(request.urls.front()));
    else if (browser && request.mode == LaunchMode::newTabs)
        started = m_launcher.run(*command, BrowserCommand::newTabs(request.urls));
    else
        started = m_launcher.launch(*location, uris);
    if (!started)
        return step;
    // A browser's helper process only hands the addresses over and exits: its windows are found by id.
    step.outcome = LaunchOutcome { true, id, browser ? std::nullopt : started->pid, {} };
    return step;
}

void EntryLauncher::completeLater(Completion completion, const LaunchOutcome &outcome)
{
    if (!completion)
        return;
    QTimer::singleShot(0, [completion = std::move(completion), outcome] { completion(outcome); });
}
