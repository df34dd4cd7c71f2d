// The desktop platform of an X11 session with an EWMH window manager: RandR monitors, client windows
// grouped into applications by their desktop entries, placement through the window manager, GIO launching.
#pragma once

#include "automation/desktopplatform.h"
#include "platform/linux/entrylauncher.h"

#include <QTimer>
#include <memory>
#include <optional>

class LinuxDocuments;
class X11Connection;
class X11Screens;
class X11WindowMover;
struct WindowFacts;

class X11Desktop : public DesktopPlatform
{
    Q_OBJECT

public:
    /// Corvalint's own desktop entry ID.
    static constexpr QLatin1StringView ownIdentifier { "corvalint" };
    /// After the client list changed, `windowsChanged` is said once more this much later.
    static constexpr int windowsSettleMs = 150;

    /// Connects to `display` (empty: $DISPLAY). Nothing, with `error` filled, when there is no X server.
    static std::unique_ptr<X11Desktop> connect(const QString &display, QString *error);
    ~X11Desktop() override;

    /// The client windows the window manager lists, grouped by application: one read of the root window and
    /// one pipelined read of every client. Windows are listed once the window manager frames them (mapped,
    /// minimized or on another virtual desktop). Without an EWMH window manager (canControlWindows() false)
    /// applications come without windows and with `windowsKnown` false.
    DesktopSnapshot snapshot() override;
    QList<DesktopMonitor> monitors() const override;
    /// An EWMH window manager runs and supports `_NET_CLIENT_LIST` and `_NET_MOVERESIZE_WINDOW`.
    bool canControlWindows() const override;
    std::optional<QString> ownAppId() const override;
    PlatformProfile profile() const override;
    std::optional<QStringList> collectDocuments(DocumentRole role, const QString &appId) override;
    std::optional<QList<BrowserWindowTabs>> collectBrowserWindows(const QString &appId) override;
    FileStatus fileStatus(const QString &path) const override;
    std::unique_ptr<DesktopPlatform> openReader() const override;
    bool offersReader() const override { return true; }

    /// Removes maximized and full-screen states, moves the outer frame exactly (or, for a window that ends
    /// up maximized or in full screen, onto the target monitor), adds the target's states, and changes
    /// `_NET_WM_DESKTOP` when asked; see X11WindowMover. Returns without waiting for the window manager.
    void place(WindowId window, const WindowPlacement &placement) override;
    /// `_NET_ACTIVE_WINDOW`: the window manager raises and focuses the window.
    void activate(WindowId window) override;
    /// Asks each of the application's current windows to close (WM_DELETE_WINDOW, else `_NET_CLOSE_WINDOW`).
    void closeApplication(const DesktopApplication &application) override;

    /// An installed, not hidden desktop entry has this id.
    bool canLaunch(const QString &appId) const override;
    /// `open`: a running application gets the URLs handed through its entry (or, without URLs, is brought
    /// forward); otherwise, and for `newWindow` and `newTabs`, the entry is started through GIO (a browser
    /// with its own `--new-window` or `--new-tab`). Reported as soon as it started, without waiting for
    /// a window; a browser's report names no process (its starter only hands over and exits).
    void launch(const LaunchRequest &request, LaunchCompletion completion) override;
    /// xdg-open with the address as its one argument; addresses that would read as options are dropped.
    void openUrl(const QUrl &url) override;

    void setOwnWindowHints(quintptr nativeWindow, bool skipTaskbar, bool onAllDesktops) override;
    /// A compositing manager owns `_NET_WM_CM_S<screen>`.
    bool compositesWindows() const override;
    std::optional<quint32> trayForegroundRgb() const override;

    /// X errors no request collected, after a round trip (a diagnostic for tests: it stays 0).
    quint64 strayErrorCount();
    /// Round trips to the X server so far (a diagnostic for the bench).
    quint64 roundTripCount() const;
    /// Placements still waiting for the window manager's answer (a diagnostic for tests and the bench).
    int placementsInFlight() const;

private:
    /// What one read of the desktop found.
    struct Reading;
    struct Group;

    X11Desktop(std::unique_ptr<X11Connection> connection, QString display);

    Reading read() const;
    DesktopWindow windowOf(const Reading &reading, size_t index, const QString &appId) const;
    std::optional<int> focusedMonitor(const Reading &reading) const;
    void clientListChanged();

    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<X11Screens> m_screens;
    std::unique_ptr<X11WindowMover> m_mover;
    std::unique_ptr<LinuxDocuments> m_documents;
    EntryLauncher m_launcher;
    QTimer m_windowsSettle;
    /// The display it was opened on; never changes, so other threads may read it.
    const QString m_display;
    /// `_NET_NUMBER_OF_DESKTOPS` at the last read of the desktop.
    mutable std::optional<quint32> m_desktopCount;
    /// `_NET_CURRENT_DESKTOP` at the last read of the desktop.
    mutable std::optional<quint32> m_currentDesktop;
};
