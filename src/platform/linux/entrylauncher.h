// Launch requests carried out through desktop entries, the same on every Linux desktop: the installed
// entries (read again when an id is missing), the hand-over to a running copy, and a browser's own words for
// a new window or further tabs.
#pragma once

#include "automation/desktoptypes.h"
#include "desktopentrycache.h"
#include "desktopentryindex.h"
#include "desktoplauncher.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class EntryLauncher
{
public:
    using Completion = std::function<void(const LaunchOutcome &)>;
    /// The application with this installed id as it runs now: `started` when it runs, with its windows and
    /// a process of it.
    using Running = std::function<LaunchOutcome(const QString &appId)>;

    /// What one launch did.
    struct Step {
        /// The report: `started` false on failure; the installed entry's id; the process we started (none for
        /// D-Bus activation or a browser's hand-over) or, when handed to a running copy, that copy's.
        LaunchOutcome outcome;
        /// An `open` went to a running copy (or brought it forward): no new window is to be waited for.
        bool handedToRunning = false;
        /// The application's windows before the launch, for whoever waits for a new one.
        QList<WindowId> before;
    };

    /// `display` is handed to started programs as DISPLAY (empty: ours); the installed entries are kept
    /// between runs in `cache`.
    explicit EntryLauncher(QString display, DesktopEntryCache cache = DesktopEntryCache());

    /// Every installed entry, read again when older than two seconds.
    const DesktopEntryIndex &entries() const;
    /// The entry's file; a missing id reads the installed entries once more (installed since?).
    std::optional<QString> entryPath(const QString &appId) const;
    bool canLaunch(const QString &appId) const;

    /// Carries out `request`. With `open`, a running application gets the URLs through its entry or, without
    /// URLs, `bringForward` gets its first window; otherwise the entry is started (a browser with
    /// `--new-window` or `--new-tab`).
    Step launch(
        const LaunchRequest &request, const Running &running, const std::function<void(WindowId)> &bringForward) const;

    /// Calls `completion` with `outcome` on a later turn of the event loop, never inside the call that
    /// started the launch.
    static void completeLater(Completion completion, const LaunchOutcome &outcome);

private:
    DesktopLauncher m_launcher;
    DesktopEntryCache m_cache;
    mutable DesktopEntryIndex m_entries;
    mutable QElapsedTimer m_entriesAge;
    mutable QList<qint64> m_entriesStamp;
};
