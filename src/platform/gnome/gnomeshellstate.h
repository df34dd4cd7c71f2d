// What Corvalint's GNOME Shell extension reports (GetDesktop), read from its JSON answer: the shell's monitors and
// windows in Mutter's terms.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

/// One window as Mutter's MetaWindow describes it.
struct GnomeShellWindow {
    /// MetaWindow's id, stable for the window's life; never 0.
    quint64 id = 0;
    std::optional<qint64> pid;
    QString title;
    /// The Wayland app_id, or for Xwayland windows WM_CLASS's class.
    QString wmClass;
    /// WM_CLASS's instance (Xwayland windows).
    QString wmClassInstance;
    QString gtkApplicationId;
    QString sandboxedAppId;
    /// The shell's own guess of the desktop file ("xterm.desktop", "window:N" when it has none).
    QString shellAppId;
    bool x11 = false;
    /// The outer frame in the shell's global logical pixels, without shadows.
    QRect frame;
    /// The monitor's index in the shell's list; -1 when it is on none.
    int monitor = -1;
    bool fullScreen = false;
    bool maximizedHorizontally = false;
    bool maximizedVertically = false;
    bool minimized = false;
    bool normal = false;
    bool dialog = false;
    bool utility = false;
    bool skipTaskbar = false;
    bool transient = false;
    bool allWorkspaces = false;
    /// The workspace's index, 0 first.
    int workspace = 0;
    bool focused = false;
};

struct GnomeShellMonitor {
    QRect bounds;
    double scale = 1;
};

struct GnomeShellState {
    /// The extension's interface version.
    int version = 0;
    /// GNOME Shell's version ("43.9").
    QString shell;
    /// The primary monitor's index (the one with the top bar).
    int primary = 0;
    QList<GnomeShellMonitor> monitors;
    int workspaces = 1;
    int activeWorkspace = 0;
    /// In stacking order, bottom first.
    QList<GnomeShellWindow> windows;

    /// Answers larger than this are refused unread: no desktop has that many windows.
    static constexpr qsizetype maxAnswerBytes = 16 * 1024 * 1024;

    /// Reads the extension's GetDesktop answer; nothing, with `error` filled, for text that is not such an answer
    /// (garbled, too large, missing fields). Windows with a bad id or an absurd frame are skipped.
    static std::optional<GnomeShellState> parse(const QByteArray &json, QString *error);

    const GnomeShellWindow *find(quint64 id) const;
};
