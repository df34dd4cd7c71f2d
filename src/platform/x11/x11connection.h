// The one place where Corvalint talks to the X server: the connection, interned atoms, batched reads of the
// root window, client windows and RandR monitors, the EWMH/ICCCM requests, and the event queue.
#pragma once

#include "frameextents.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

class QSocketNotifier;

/// What the root window says about the window manager and its clients.
struct RootState {
    /// `_NET_CLIENT_LIST`, oldest first.
    std::vector<xcb_window_t> clients;
    xcb_window_t activeWindow = XCB_NONE;
    /// `_NET_SUPPORTING_WM_CHECK` names a window that names itself: an EWMH window manager runs.
    bool wmRunning = false;
    bool supportsClientList = false;
    bool supportsMoveResize = false;
    /// `_NET_CURRENT_DESKTOP` and `_NET_NUMBER_OF_DESKTOPS`, when the window manager sets them.
    std::optional<quint32> currentDesktop;
    std::optional<quint32> desktopCount;
};

/// Everything Corvalint reads from one client window, in one batch.
struct WindowFacts {
    xcb_window_t id = XCB_NONE;
    /// False when the window vanished (or never existed) while it was read.
    bool exists = false;
    bool viewable = false;
    /// The client rectangle in root coordinates.
    QRect client;
    int borderWidth = 0;
    FrameExtents wmExtents;
    FrameExtents csdExtents;
    std::optional<QString> netWmName;
    std::optional<QString> wmName;
    QString instance;
    QString className;
    std::optional<quint32> pid;
    xcb_window_t transientFor = XCB_NONE;
    std::vector<xcb_atom_t> types;
    std::vector<xcb_atom_t> states;
    /// `_NET_WM_DESKTOP` (0xFFFFFFFF: every desktop), when set.
    std::optional<quint32> desktop;
    QString gtkApplicationId;
    QString kdeDesktopFile;
    bool supportsDelete = false;
    /// ICCCM win_gravity from WM_NORMAL_HINTS; 0 when not given (NorthWest applies).
    int winGravity = 0;
    QSize resizeIncrement;

    bool hasState(xcb_atom_t state) const;
};

/// One active RandR monitor.
struct MonitorFacts {
    xcb_atom_t name = XCB_NONE;
    QString nameText;
    bool primary = false;
    /// In root coordinates.
    QRect rect;
    /// The first output's connector name and EDID (both empty without outputs or EDID).
    QString connector;
    QByteArray edid;
};

class X11Connection : public QObject
{
    Q_OBJECT

public:
    /// Connects to `display` (empty: $DISPLAY); nullptr and `error` filled when there is no server.
    static std::unique_ptr<X11Connection> open(const QString &display, QString *error);
    ~X11Connection() override;

    /// The server is gone (or the connection broke): every read then comes back empty.
    bool hasError() const;

    const xcb_ewmh_connection_t &ewmh() const { return m_ewmh; }

    /// Root properties: client list, active window, the window manager check and `_NET_SUPPORTED`.
    RootState readRoot();
    /// Reads every window of `windows` with all requests pipelined (one round trip).
    std::vector<WindowFacts> readWindows(const std::vector<xcb_window_t> &windows);
    /// The active RandR 1.5 monitors; nothing when RandR 1.5 is missing.
    std::optional<std::vector<MonitorFacts>> readMonitors();
    /// The root window's size (the one screen when there is no RandR).
    QRect rootRect() const;

    /// `_NET_MOVERESIZE_WINDOW` with gravity 0 (the window's own win_gravity), source indication 2.
    void requestMoveResize(xcb_window_t window, std::optional<QPoint> position, std::optional<QSize> size);
    /// `_NET_WM_STATE` add (`add` true) or remove of up to two states, source indication 2.
    void requestState(xcb_window_t window, bool add, xcb_atom_t first, xcb_atom_t second = XCB_NONE);
    /// `_NET_WM_DESKTOP` to the window manager (0xFFFFFFFF: every desktop), source indication 2.
    void requestDesktop(xcb_window_t window, quint32 desktop);
    /// `_NET_ACTIVE_WINDOW`, source indication 2, with a fresh server timestamp.
    void requestActivate(xcb_window_t window);
    /// ICCCM WM_DELETE_WINDOW when the window takes it, else `_NET_CLOSE_WINDOW`.
    void requestClose(xcb_window_t window, bool supportsDelete);

    /// Keeps one of Corvalint's own windows (`window`, not necessarily mapped yet) out of taskbars and pagers
    /// (`skipTaskbar`) and on every virtual desktop (`onAllDesktops`). EWMH: before mapping the client
    /// writes `_NET_WM_STATE` and `_NET_WM_DESKTOP` itself; once mapped only the window manager changes them,
    /// so then it is asked. Returns after a round trip, so that the hints are in place before the toolkit's
    /// own connection maps the window. The toolkit's connection may still hold the window's creation, or
    /// rewrite `_NET_WM_STATE` as it maps: so a window not there yet is tried again shortly, and an unmapped
    /// one is asked again through the window manager once it is mapped.
    void setOwnWindowHints(xcb_window_t window, bool skipTaskbar, bool onAllDesktops);

    /// Whether a compositing manager owns this screen's `_NET_WM_CM_S<n>` selection.
    bool compositorRunning() const;
    /// The colour the running system tray asks its icons to be drawn in
    /// (`_NET_SYSTEM_TRAY_COLORS`, "normal"), as 0xRRGGBB; none when no tray
    /// runs or it does not say.
    std::optional<quint32> trayForegroundRgb() const;
    /// The root window of our screen (its property changes arrive as windowPropertyChanged).
    xcb_window_t rootWindow() const;
    /// Asks for the window's StructureNotify and PropertyChange events: windowConfigured(),
    /// windowPropertyChanged() and windowDestroyed() then report them.
    void watchWindow(xcb_window_t window);
    /// Stops the events watchWindow() asked for.
    void unwatchWindow(xcb_window_t window);
    /// Sends what is buffered; events that arrived with replies are dispatched on the next turn of the loop.
    void flush();
    /// A round trip, then every event that came is handled.
    void sync();
    /// X errors that arrived as events: requests nobody collected. Stays 0 unless something is wrong.
    quint64 strayErrors() const { return m_strayErrors; }
    /// How many times Corvalint waited for the server's answer (each pipelined batch counts once).
    quint64 roundTrips() const { return m_roundTrips; }

    xcb_atom_t atom(const char *name);
    xcb_atom_t fullScreenState() const { return m_ewmh._NET_WM_STATE_FULLSCREEN; }
    xcb_atom_t maximizedVertState() const { return m_ewmh._NET_WM_STATE_MAXIMIZED_VERT; }
    xcb_atom_t maximizedHorzState() const { return m_ewmh._NET_WM_STATE_MAXIMIZED_HORZ; }
    xcb_atom_t gtkFrameExtentsAtom() const { return m_atoms.gtkFrameExtents; }

signals:
    /// RandR reported a change of the screen configuration.
    void monitorsChanged();
    /// A watched window was configured (moved, resized, restacked; or told so by its window manager).
    void windowConfigured(quint32 window);
    /// A property of a watched window changed.
    void windowPropertyChanged(quint32 window, quint32 property);
    /// A watched window was destroyed.
    void windowDestroyed(quint32 window);
    /// The connection broke.
    void disconnected();

private:
    explicit X11Connection(xcb_connection_t *connection, int screenNumber);
    bool initialise();
    void dispatchEvents();
    /// After replies were collected: the events read with them never wake the socket notifier.
    void dispatchQueuedLater();
    void handleEvent(xcb_generic_event_t *event);
    xcb_timestamp_t serverTime();
    void sendToRoot(const xcb_client_message_event_t &message);

    xcb_connection_t *m_connection = nullptr;
    int m_screenNumber = 0;
    xcb_screen_t *m_screen = nullptr;
    xcb_ewmh_connection_t m_ewmh {};
    bool m_ewmhReady = false;
    xcb_window_t m_timeWindow = XCB_NONE;
    uint8_t m_randrEventBase = 0;
    bool m_randrMonitors = false;
    bool m_brokenReported = false;
    bool m_dispatchScheduled = false;
    quint64 m_strayErrors = 0;
    quint64 m_roundTrips = 0;
    std::deque<xcb_generic_event_t *> m_pending;
    QSocketNotifier *m_notifier = nullptr;

    /// Hints for own windows that are not mapped yet, asked again when they are.
    struct OwnWindowHints {
        bool skipTaskbar = false;
        bool onAllDesktops = false;
        int triesLeft = 0;
    };
    std::unordered_map<xcb_window_t, OwnWindowHints> m_ownHints;

    struct Atoms {
        xcb_atom_t wmProtocols = XCB_NONE;
        xcb_atom_t wmDeleteWindow = XCB_NONE;
        xcb_atom_t utf8String = XCB_NONE;
        xcb_atom_t gtkFrameExtents = XCB_NONE;
        xcb_atom_t gtkApplicationId = XCB_NONE;
        xcb_atom_t kdeDesktopFile = XCB_NONE;
        xcb_atom_t edid = XCB_NONE;
        xcb_atom_t timestampProperty = XCB_NONE;
    } m_atoms;
};
