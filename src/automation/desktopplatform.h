// The desktop a backend gives the automation and the views: a typed snapshot
// of applications, windows and monitors, placement as one request per window,
// polite closing, launching, and document collectors. docs/desktop-interface.md
// describes what each backend must provide.
#pragma once

#include "collecteddocuments.h"
#include "desktoptypes.h"
#include "platformprofile.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class DesktopPlatform : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~DesktopPlatform() override = default;

    // --- Reading -----------------------------------------------------------------

    /// Every running application with its windows, and the monitors. Cheap
    /// enough to take once per capture and once per placement attempt.
    virtual DesktopSnapshot snapshot() = 0;
    /// The monitors alone, primary first; may be empty.
    virtual QList<DesktopMonitor> monitors() const = 0;
    /// Whether this process may read and move other applications' windows
    /// here (false while a desktop refuses it; then snapshots list no windows).
    virtual bool canControlWindows() const = 0;
    /// While window control is missing for a reason this desktop knows (a
    /// shell extension not installed): what the user must do, in one sentence
    /// of the app's language. Empty otherwise.
    virtual QString controlInstruction() const { return {}; }
    /// This program's own application id, or nothing.
    virtual std::optional<QString> ownAppId() const = 0;
    /// Which application ids play which roles here.
    virtual PlatformProfile profile() const = 0;
    /// The documents the running application `appId` shows in `role` (URLs or
    /// paths as text); nothing when asking failed. Called only while it runs.
    virtual std::optional<QStringList> collectDocuments(DocumentRole role, const QString &appId) = 0;
    /// The windows of the running browser `appId` with their tabs, from its
    /// session, in the session's window order (an empty list when it cannot
    /// be read). Nothing where this desktop offers only `collectDocuments`'
    /// flat list of addresses.
    virtual std::optional<QList<BrowserWindowTabs>> collectBrowserWindows(const QString &appId)
    {
        Q_UNUSED(appId)
        return std::nullopt;
    }
    /// Whether `path` exists, and whether it is a directory.
    virtual FileStatus fileStatus(const QString &path) const = 0;

    /// A second, independent connection to the same desktop, for reading it
    /// (snapshots, document collectors) on another thread so that a capture
    /// never waits on the window thread. Called on the thread that will use
    /// it; must only read state that never changes after construction.
    /// Nothing where reads cannot leave this thread (the simulated desktop).
    virtual std::unique_ptr<DesktopPlatform> openReader() const { return nullptr; }
    /// Whether `openReader` gives one here (cheap: connects nothing).
    virtual bool offersReader() const { return false; }

    // --- Acting --------------------------------------------------------------------

    /// Puts a window where `placement` says, as one request; never blocks for
    /// the window manager. Refusals are silent.
    virtual void place(WindowId window, const WindowPlacement &placement) = 0;
    /// Raises and focuses a window.
    virtual void activate(WindowId window) = 0;
    /// Asks the application to quit as a user would (its windows' close
    /// request); never kills, never waits.
    virtual void closeApplication(const DesktopApplication &application) = 0;

    /// Whether an application with this id is installed and can be started.
    virtual bool canLaunch(const QString &appId) const = 0;
    /// Called once, later, on the main thread.
    using LaunchCompletion = std::function<void(const LaunchOutcome &)>;
    /// Starts the application (or hands a running copy the URLs), then reports.
    virtual void launch(const LaunchRequest &request, LaunchCompletion completion) = 0;
    /// Opens an absolute URL with its default handler; no report.
    virtual void openUrl(const QUrl &url) = 0;

    // --- Our own windows -----------------------------------------------------------

    /// Whether a compositor draws translucent windows over the desktop; without
    /// one the see-through parts of a window show black.
    virtual bool compositesWindows() const { return true; }
    /// The colour (0xRRGGBB) the desktop's tray wants its icons drawn in, so
    /// that an icon reads on a light panel as on a dark one; none when the
    /// tray does not say.
    virtual std::optional<quint32> trayForegroundRgb() const { return std::nullopt; }
    /// Hints for one of Corvalint's own windows, by its native id (set before
    /// it is shown): kept out of taskbars and pagers, shown on every virtual
    /// desktop. Desktops without such hints ignore them.
    virtual void setOwnWindowHints(quintptr nativeWindow, bool skipTaskbar, bool onAllDesktops)
    {
        Q_UNUSED(nativeWindow)
        Q_UNUSED(skipTaskbar)
        Q_UNUSED(onAllDesktops)
    }

signals:
    /// Monitors were connected, removed or rearranged.
    void monitorsChanged();
    /// A window appeared or went away. Backends that cannot tell never emit
    /// it: whoever waits for windows also looks again now and then.
    void windowsChanged();
    /// What controlInstruction() says changed (an extension was switched on or off).
    void controlInstructionChanged();
};
