// What the listing script reports, read from its JSON answer: KWin's outputs and windows in KWin's terms.
#pragma once

#include "kwinoutputnames.h"

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

/// One window as KWin's script sees it.
struct KWinWindow {
    /// KWin's internal id (a UUID in braces), stable for the window's life.
    QString internalId;
    std::optional<qint64> pid;
    QString caption;
    /// The output's index.
    int screen = 0;
    /// The outer frame in KWin's global logical pixels.
    QRect frame;
    bool fullScreen = false;
    bool minimized = false;
    bool active = false;
    bool normalWindow = false;
    bool dialog = false;
    bool utility = false;
    bool specialWindow = false;
    bool skipTaskbar = false;
    /// KWin's desktop number (1 first); ignored when onAllDesktops.
    int desktop = 1;
    bool onAllDesktops = false;
    /// Shown through Xwayland.
    bool x11 = false;
    /// The Wayland app_id, or for X11 windows _GTK_APPLICATION_ID / _KDE_NET_WM_DESKTOP_FILE.
    QString desktopFileName;
    /// The app_id for Wayland windows; WM_CLASS's class, lower-cased, for X11 windows.
    QString resourceClass;
    /// The executable's name for Wayland windows; WM_CLASS's instance for X11 windows.
    QString resourceName;
};

struct KWinWindowList {
    /// The outputs' logical rectangles, by KWin's index.
    QList<QRect> screens;
    /// The outputs' names as the script tells them, by the same index (KWin 6); empty names under KWin 5.27.
    QList<KWinOutputName> outputs;
    int activeScreen = 0;
    int currentDesktop = 1;
    QList<KWinWindow> windows;

    /// Answers larger than this are refused unread: no desktop has that many windows.
    static constexpr qsizetype maxAnswerBytes = 16 * 1024 * 1024;

    /// Reads the `result` of the listing script; nothing, with `error` filled, for text that is not such a
    /// listing (garbled, too large, missing fields). Windows without an id or with an absurd frame are skipped.
    static std::optional<KWinWindowList> parse(const QByteArray &result, QString *error);

    /// `caption` without the " <2>" and left-to-right mark KWin adds to windows whose captions collide: the
    /// application's own title, which names its document.
    static QString withoutDuplicateMark(const QString &caption);

    /// The index of the output holding the largest part of `frame`; nothing when it is on none.
    std::optional<int> screenFor(const QRect &frame) const;
};

/// A WindowId for an internal id: the two halves of the UUID folded together, so that the same window gets the
/// same number in every process (the reader thread's connection as well); 0 for text that is no UUID.
quint64 kwinWindowNumber(const QString &internalId);
