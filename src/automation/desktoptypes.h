// The typed picture of a desktop that every backend gives the automation:
// windows, applications, monitors, and what a placement or a launch asks for.
#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QUrl>
#include <optional>

/// A window's id as its backend knows it (an X window, a KWin internal id, a
/// sway container id); valid while the window exists.
using WindowId = quint64;

/// A virtual desktop number meaning "on every desktop" (a sticky window).
inline constexpr int allDesktops = -1;

/// The window manager's state of a window beside its frame.
struct WindowState {
    bool maximizedHorizontally = false;
    bool maximizedVertically = false;
    bool fullScreen = false;
    bool minimized = false;

    bool isMaximized() const { return maximizedHorizontally && maximizedVertically; }
    bool operator==(const WindowState &) const = default;
};

/// What a window is for, as far as capture and placement care.
enum class WindowKind {
    /// An application's main or document window.
    normal,
    /// A dialog that belongs to another window of its application.
    dialog,
    /// Tool palettes and other utility windows.
    utility,
    /// Menus, tooltips, splash screens, docks, the desktop itself.
    other,
};

struct DesktopWindow {
    WindowId id = 0;
    /// The application's desktop-entry id; empty when the desktop cannot tell.
    QString appId;
    std::optional<qint64> pid;
    QString title;
    /// The outer frame (decorations included) in global logical pixels.
    QRectF frame;
    WindowState state;
    /// The virtual desktop (0 first, `allDesktops` for sticky); nothing when unknown.
    std::optional<int> desktop;
    WindowKind kind = WindowKind::normal;
    /// The document the window shows, as a fully encoded URL ("file:///a%20b.txt"), when the desktop knows it.
    std::optional<QString> document;

    /// Normal windows and dialogs: the ones a user arranges.
    bool isStandard() const { return kind == WindowKind::normal || kind == WindowKind::dialog; }
};

struct DesktopApplication {
    /// The desktop-entry id; empty when the application has none.
    QString appId;
    /// The processes it runs in, when known.
    QList<qint64> pids;
    /// Shown in the task switcher (not a background service or panel).
    bool regular = true;
    /// False when the desktop refused to list this application's windows:
    /// then `windows` says nothing, rather than "none".
    bool windowsKnown = true;
    /// Its windows in the desktop's order.
    QList<DesktopWindow> windows;

    bool hasPid(qint64 pid) const { return pids.contains(pid); }
};

struct DesktopMonitor {
    /// A stable identifier (upper-case UUID text) that survives restarts and
    /// reconnection; nothing when the desktop cannot give one.
    std::optional<QString> identifier;
    /// The connector's name ("HDMI-1"), for people; may be empty.
    QString connector;
    /// Global logical pixels, y down, origin at the primary monitor's corner.
    QRectF bounds;
    bool primary = false;
};

struct DesktopSnapshot {
    QList<DesktopApplication> applications;
    /// Primary first.
    QList<DesktopMonitor> monitors;
    /// The index in `monitors` of the one holding the focused window.
    std::optional<int> focusedMonitor;
};

/// Where and how one window should stand, asked of the desktop as one request.
struct WindowPlacement {
    /// The outer frame in global logical pixels. A maximised or full-screen
    /// window is put on the monitor holding this frame first.
    QRectF frame;
    WindowState state;
    /// The virtual desktop; nothing leaves it where it is.
    std::optional<int> desktop;
};

/// How a launch hands over its addresses.
enum class LaunchMode {
    /// As a double click would: a running copy is brought forward instead of
    /// starting a second one, and documents go wherever the application puts them.
    open,
    /// Another copy or window even while one runs, with the addresses in it;
    /// a browser opens one new window (the first address; the rest follow as `newTabs`).
    newWindow,
    /// A browser's addresses as tabs of its most recently active window.
    newTabs,
};

/// One application to start, with the documents or addresses it should open.
struct LaunchRequest {
    QString appId;
    QList<QUrl> urls;
    LaunchMode mode = LaunchMode::open;
};

/// What a launch produced, reported once.
struct LaunchOutcome {
    bool started = false;
    /// The application as it runs (its id may differ from the one asked for).
    QString appId;
    std::optional<qint64> pid;
    /// The windows it showed so far.
    QList<WindowId> windows;
};

/// What a file-system existence check reports.
struct FileStatus {
    bool exists = false;
    bool isDirectory = false;
};
