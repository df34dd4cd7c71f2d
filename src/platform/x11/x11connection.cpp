// The one place where Corvalint talks to the X server: the connection, interned atoms, batched reads of the
// root window, client windows and RandR monitors, the EWMH/ICCCM requests, and the event queue.
#include "x11connection.h"

#include "xcbreply.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <xcb/randr.h>
#include <xcb/xcb_icccm.h>

namespace {

// An own window whose creation has not reached the server yet is tried again this often, this many times.
constexpr int ownHintRetryMs = 50;
constexpr int ownHintTries = 40;

} // namespace

namespace {

using PropertyReply = XcbReply<xcb_get_property_reply_t>;

constexpr uint32_t sourcePager = 2; // EWMH source indication of pagers and other tools acting for the user

// Every reply is taken with its error slot so that an error (a vanished window) never lands in the event
// queue as a stray event.
template <typename Reply, typename Cookie, typename Fn>
XcbReply<Reply> takeReply(xcb_connection_t *c, Cookie cookie, Fn replyFunction)
{
    xcb_generic_error_t *error = nullptr;
    auto reply = xcbReply(replyFunction(c, cookie, &error));
    std::free(error);
    return reply;
}

PropertyReply takeProperty(xcb_connection_t *c, xcb_get_property_cookie_t cookie)
{
    return takeReply<xcb_get_property_reply_t>(c, cookie, &xcb_get_property_reply);
}

template <typename T> std::vector<T> propertyValues(const PropertyReply &reply, int format)
{
    if (!reply || reply->format != format || reply->type == XCB_NONE)
        return {};
    const int length = xcb_get_property_value_length(reply.get());
    const auto *data = static_cast<const T *>(xcb_get_property_value(reply.get()));
    return std::vector<T>(data, data + length / int(sizeof(T)));
}

std::optional<QString> propertyText(const PropertyReply &reply, xcb_atom_t utf8)
{
    if (!reply || reply->format != 8 || reply->type == XCB_NONE)
        return std::nullopt;
    const auto *data = static_cast<const char *>(xcb_get_property_value(reply.get()));
    QByteArray bytes(data, xcb_get_property_value_length(reply.get()));
    const int end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    // COMPOUND_TEXT in practice carries Latin-1 for the titles that still use it.
    return reply->type == utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

std::optional<quint32> cardinalOf(const PropertyReply &reply)
{
    if (!reply || reply->type != XCB_ATOM_CARDINAL)
        return std::nullopt;
    const auto values = propertyValues<uint32_t>(reply, 32);
    if (values.empty())
        return std::nullopt;
    return values.front();
}

FrameExtents extentsFrom(const std::vector<uint32_t> &values)
{
    if (values.size() != 4)
        return {};
    auto clamp = [](uint32_t v) { return int(std::min<uint32_t>(v, 10000)); };
    return { clamp(values[0]), clamp(values[1]), clamp(values[2]), clamp(values[3]) };
}

xcb_get_property_cookie_t getProperty(
    xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, uint32_t longLength)
{
    return xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, longLength);
}

} // namespace

bool WindowFacts::hasState(xcb_atom_t state) const
{
    return std::find(states.begin(), states.end(), state) != states.end();
}

std::unique_ptr<X11Connection> X11Connection::open(const QString &display, QString *error)
{
    int screenNumber = 0;
    const QByteArray name = display.toLocal8Bit();
    xcb_connection_t *connection = xcb_connect(name.isEmpty() ? nullptr : name.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        if (error)
            *error = QStringLiteral("cannot open display %1")
                         .arg(display.isEmpty() ? qEnvironmentVariable("DISPLAY") : display);
        return nullptr;
    }
    std::unique_ptr<X11Connection> result(new X11Connection(connection, screenNumber));
    if (!result->initialise()) {
        if (error)
            *error = QStringLiteral("the X server on %1 did not answer").arg(display);
        return nullptr;
    }
    return result;
}

X11Connection::X11Connection(xcb_connection_t *connection, int screenNumber)
    : m_connection(connection)
    , m_screenNumber(screenNumber)
{
}

X11Connection::~X11Connection()
{
    for (xcb_generic_event_t *event : m_pending)
        std::free(event);
    if (m_ewmhReady)
        xcb_ewmh_connection_wipe(&m_ewmh);
    xcb_disconnect(m_connection);
}

bool X11Connection::initialise()
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < m_screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return false;
    m_screen = screens.data;

    // Atoms first, all in one round trip.
    xcb_intern_atom_cookie_t *ewmhCookies = xcb_ewmh_init_atoms(m_connection, &m_ewmh);
    const char *names[] = { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "UTF8_STRING", "_GTK_FRAME_EXTENTS",
        "_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE", "EDID", "_CORVALINT_TIMESTAMP" };
    xcb_atom_t *targets[]
        = { &m_atoms.wmProtocols, &m_atoms.wmDeleteWindow, &m_atoms.utf8String, &m_atoms.gtkFrameExtents,
              &m_atoms.gtkApplicationId, &m_atoms.kdeDesktopFile, &m_atoms.edid, &m_atoms.timestampProperty };
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (size_t i = 0; i < std::size(names); ++i)
        cookies[i] = xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(names[i])), names[i]);
    const xcb_query_extension_reply_t *randr = xcb_get_extension_data(m_connection, &xcb_randr_id);
    std::optional<xcb_randr_query_version_cookie_t> versionCookie;
    if (randr && randr->present)
        versionCookie = xcb_randr_query_version(m_connection, 1, 5);

    m_ewmhReady = xcb_ewmh_init_atoms_replies(&m_ewmh, ewmhCookies, nullptr) != 0;
    for (size_t i = 0; i < std::size(names); ++i) {
        auto reply = takeReply<xcb_intern_atom_reply_t>(m_connection, cookies[i], &xcb_intern_atom_reply);
        *targets[i] = reply ? reply->atom : XCB_NONE;
    }
    if (versionCookie) {
        auto version
            = takeReply<xcb_randr_query_version_reply_t>(m_connection, *versionCookie, &xcb_randr_query_version_reply);
        m_randrMonitors = version && (version->major_version > 1 || version->minor_version >= 5);
        m_randrEventBase = randr->first_event;
    }
    if (!m_ewmhReady || hasError())
        return false;

    // Screen changes arrive as RandR screen-change events, and (for RandR monitors set by hand) as a
    // ConfigureNotify of the root window.
    // Property changes of the root window tell when the window manager's client list changes.
    const uint32_t rootMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, m_screen->root, XCB_CW_EVENT_MASK, &rootMask);
    if (m_randrMonitors) {
        xcb_randr_select_input(m_connection, m_screen->root,
            XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE
                | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE);
    }
    // A window of our own, never mapped: a zero-length property append on it yields a server timestamp.
    m_timeWindow = xcb_generate_id(m_connection);
    const uint32_t timeMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_timeWindow, m_screen->root, -1, -1, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &timeMask);
    xcb_flush(m_connection);

    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11Connection::dispatchEvents);
    return true;
}

bool X11Connection::hasError() const
{
    return xcb_connection_has_error(m_connection) != 0;
}

xcb_atom_t X11Connection::atom(const char *name)
{
    ++m_roundTrips;
    auto reply = takeReply<xcb_intern_atom_reply_t>(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), &xcb_intern_atom_reply);
    return reply ? reply->atom : XCB_NONE;
}

RootState X11Connection::readRoot()
{
    RootState state;
    if (hasError())
        return state;
    const xcb_window_t root = m_screen->root;
    auto clientsCookie = xcb_ewmh_get_client_list(&m_ewmh, m_screenNumber);
    auto activeCookie = xcb_ewmh_get_active_window(&m_ewmh, m_screenNumber);
    auto checkCookie = xcb_ewmh_get_supporting_wm_check(&m_ewmh, root);
    auto supportedCookie = xcb_ewmh_get_supported(&m_ewmh, m_screenNumber);
    auto currentCookie = xcb_ewmh_get_current_desktop(&m_ewmh, m_screenNumber);
    auto countCookie = xcb_ewmh_get_number_of_desktops(&m_ewmh, m_screenNumber);

    ++m_roundTrips;
    auto clients = takeProperty(m_connection, clientsCookie);
    auto active = takeProperty(m_connection, activeCookie);
    auto check = takeProperty(m_connection, checkCookie);
    auto supported = takeProperty(m_connection, supportedCookie);
    auto current = takeProperty(m_connection, currentCookie);
    auto count = takeProperty(m_connection, countCookie);

    if (clients && clients->type == XCB_ATOM_WINDOW)
        state.clients = propertyValues<xcb_window_t>(clients, 32);
    if (active && active->type == XCB_ATOM_WINDOW) {
        const auto values = propertyValues<xcb_window_t>(active, 32);
        state.activeWindow = values.empty() ? XCB_NONE : values.front();
    }
    const auto checkValues = propertyValues<xcb_window_t>(check, 32);
    // EWMH: the child window must carry the same property naming itself; a stale one left by a window
    // manager that died names a window that no longer exists.
    if (!checkValues.empty() && checkValues.front() != XCB_NONE) {
        const xcb_window_t child = checkValues.front();
        ++m_roundTrips;
        const auto childValues = propertyValues<xcb_window_t>(
            takeProperty(m_connection, xcb_ewmh_get_supporting_wm_check(&m_ewmh, child)), 32);
        state.wmRunning = !childValues.empty() && childValues.front() == child;
    }
    for (xcb_atom_t atom : propertyValues<xcb_atom_t>(supported, 32)) {
        state.supportsClientList |= atom == m_ewmh._NET_CLIENT_LIST;
        state.supportsMoveResize |= atom == m_ewmh._NET_MOVERESIZE_WINDOW;
    }
    state.currentDesktop = cardinalOf(current);
    state.desktopCount = cardinalOf(count);
    dispatchQueuedLater();
    return state;
}

std::vector<WindowFacts> X11Connection::readWindows(const std::vector<xcb_window_t> &windows)
{
    struct Cookies {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t origin;
        xcb_get_property_cookie_t frameExtents, gtkExtents, netName, wmName, wmClass, pid, transient, types, states,
            desktop, gtkId, kdeFile, protocols, normalHints;
    };
    std::vector<WindowFacts> result;
    if (hasError())
        return result;
    const xcb_window_t root = m_screen->root;
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t w : windows) {
        cookies.push_back({
            xcb_get_window_attributes(m_connection, w),
            xcb_get_geometry(m_connection, w),
            xcb_translate_coordinates(m_connection, w, root, 0, 0),
            getProperty(m_connection, w, m_ewmh._NET_FRAME_EXTENTS, 4),
            getProperty(m_connection, w, m_atoms.gtkFrameExtents, 4),
            getProperty(m_connection, w, m_ewmh._NET_WM_NAME, 1024),
            getProperty(m_connection, w, XCB_ATOM_WM_NAME, 1024),
            getProperty(m_connection, w, XCB_ATOM_WM_CLASS, 256),
            getProperty(m_connection, w, m_ewmh._NET_WM_PID, 1),
            getProperty(m_connection, w, XCB_ATOM_WM_TRANSIENT_FOR, 1),
            getProperty(m_connection, w, m_ewmh._NET_WM_WINDOW_TYPE, 32),
            getProperty(m_connection, w, m_ewmh._NET_WM_STATE, 32),
            getProperty(m_connection, w, m_ewmh._NET_WM_DESKTOP, 1),
            getProperty(m_connection, w, m_atoms.gtkApplicationId, 256),
            getProperty(m_connection, w, m_atoms.kdeDesktopFile, 256),
            getProperty(m_connection, w, m_atoms.wmProtocols, 32),
            getProperty(m_connection, w, XCB_ATOM_WM_NORMAL_HINTS, XCB_ICCCM_NUM_WM_SIZE_HINTS_ELEMENTS),
        });
    }
    result.reserve(windows.size());
    m_roundTrips += windows.empty() ? 0 : 1;
    for (size_t i = 0; i < windows.size(); ++i) {
        const Cookies &c = cookies[i];
        WindowFacts facts;
        facts.id = windows[i];
        auto attributes = takeReply<xcb_get_window_attributes_reply_t>(
            m_connection, c.attributes, &xcb_get_window_attributes_reply);
        auto geometry = takeReply<xcb_get_geometry_reply_t>(m_connection, c.geometry, &xcb_get_geometry_reply);
        auto origin
            = takeReply<xcb_translate_coordinates_reply_t>(m_connection, c.origin, &xcb_translate_coordinates_reply);
        auto frameExtents = takeProperty(m_connection, c.frameExtents);
        auto gtkExtents = takeProperty(m_connection, c.gtkExtents);
        auto netName = takeProperty(m_connection, c.netName);
        auto wmName = takeProperty(m_connection, c.wmName);
        auto wmClass = takeProperty(m_connection, c.wmClass);
        auto pid = takeProperty(m_connection, c.pid);
        auto transient = takeProperty(m_connection, c.transient);
        auto types = takeProperty(m_connection, c.types);
        auto states = takeProperty(m_connection, c.states);
        auto desktop = takeProperty(m_connection, c.desktop);
        auto gtkId = takeProperty(m_connection, c.gtkId);
        auto kdeFile = takeProperty(m_connection, c.kdeFile);
        auto protocols = takeProperty(m_connection, c.protocols);
        auto normalHints = takeProperty(m_connection, c.normalHints);

        facts.exists = attributes && geometry && origin;
        if (!facts.exists) {
            result.push_back(facts);
            continue;
        }
        facts.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        facts.client = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        facts.borderWidth = geometry->border_width;
        const auto extents = propertyValues<uint32_t>(frameExtents, 32);
        facts.wmExtents = extentsFrom(extents);
        facts.csdExtents = extentsFrom(propertyValues<uint32_t>(gtkExtents, 32));
        facts.netWmName = propertyText(netName, m_atoms.utf8String);
        facts.wmName = propertyText(wmName, m_atoms.utf8String);
        if (wmClass && wmClass->format == 8) {
            const QByteArray bytes(static_cast<const char *>(xcb_get_property_value(wmClass.get())),
                xcb_get_property_value_length(wmClass.get()));
            const QList<QByteArray> parts = bytes.split('\0');
            facts.instance = QString::fromLocal8Bit(parts.value(0));
            facts.className = QString::fromLocal8Bit(parts.value(1));
        }
        const auto pids = propertyValues<uint32_t>(pid, 32);
        if (!pids.empty() && pids.front() > 0 && pid->type == XCB_ATOM_CARDINAL)
            facts.pid = pids.front();
        const auto parents = propertyValues<xcb_window_t>(transient, 32);
        if (!parents.empty())
            facts.transientFor = parents.front();
        if (types && types->type == XCB_ATOM_ATOM)
            facts.types = propertyValues<xcb_atom_t>(types, 32);
        if (states && states->type == XCB_ATOM_ATOM)
            facts.states = propertyValues<xcb_atom_t>(states, 32);
        facts.desktop = cardinalOf(desktop);
        facts.gtkApplicationId = propertyText(gtkId, m_atoms.utf8String).value_or(QString());
        facts.kdeDesktopFile = propertyText(kdeFile, m_atoms.utf8String).value_or(QString());
        for (xcb_atom_t protocol : propertyValues<xcb_atom_t>(protocols, 32))
            facts.supportsDelete |= protocol == m_atoms.wmDeleteWindow;
        xcb_size_hints_t hints {};
        if (normalHints && normalHints->type == XCB_ATOM_WM_SIZE_HINTS
            && xcb_icccm_get_wm_size_hints_from_reply(&hints, normalHints.get())) {
            if (hints.flags & XCB_ICCCM_SIZE_HINT_P_WIN_GRAVITY)
                facts.winGravity = int(hints.win_gravity) <= XCB_GRAVITY_STATIC ? int(hints.win_gravity) : 0;
            if (hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC)
                facts.resizeIncrement = QSize(std::max(hints.width_inc, 0), std::max(hints.height_inc, 0));
        }
        result.push_back(std::move(facts));
    }
    dispatchQueuedLater();
    return result;
}

std::optional<std::vector<MonitorFacts>> X11Connection::readMonitors()
{
    if (!m_randrMonitors || hasError())
        return std::nullopt;
    auto monitors = takeReply<xcb_randr_get_monitors_reply_t>(
        m_connection, xcb_randr_get_monitors(m_connection, m_screen->root, 1), &xcb_randr_get_monitors_reply);
    ++m_roundTrips;
    if (!monitors)
        return std::nullopt;

    struct Cookies {
        xcb_get_atom_name_cookie_t name;
        std::optional<xcb_randr_get_output_info_cookie_t> output;
        std::optional<xcb_randr_get_output_property_cookie_t> edid;
    };
    std::vector<MonitorFacts> result;
    std::vector<Cookies> cookies;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem; xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t *info = it.data;
        MonitorFacts facts;
        facts.name = info->name;
        facts.primary = info->primary;
        facts.rect = QRect(info->x, info->y, info->width, info->height);
        result.push_back(facts);
        Cookies c { xcb_get_atom_name(m_connection, info->name), {}, {} };
        if (xcb_randr_monitor_info_outputs_length(info) > 0) {
            const xcb_randr_output_t output = xcb_randr_monitor_info_outputs(info)[0];
            c.output = xcb_randr_get_output_info(m_connection, output, monitors->timestamp);
            // EDID blocks are 128 bytes; the base block and a few extensions fit in 256 32-bit units.
            c.edid = xcb_randr_get_output_property(m_connection, output, m_atoms.edid, XCB_ATOM_ANY, 0, 256, 0, 0);
        }
        cookies.push_back(c);
    }
    m_roundTrips += result.empty() ? 0 : 1;
    for (size_t i = 0; i < result.size(); ++i) {
        auto name = takeReply<xcb_get_atom_name_reply_t>(m_connection, cookies[i].name, &xcb_get_atom_name_reply);
        if (name) {
            result[i].nameText
                = QString::fromUtf8(xcb_get_atom_name_name(name.get()), xcb_get_atom_name_name_length(name.get()));
        }
        if (cookies[i].output) {
            auto output = takeReply<xcb_randr_get_output_info_reply_t>(
                m_connection, *cookies[i].output, &xcb_randr_get_output_info_reply);
            if (output) {
                result[i].connector
                    = QString::fromUtf8(reinterpret_cast<const char *>(xcb_randr_get_output_info_name(output.get())),
                        xcb_randr_get_output_info_name_length(output.get()));
            }
        }
        if (cookies[i].edid) {
            auto edid = takeReply<xcb_randr_get_output_property_reply_t>(
                m_connection, *cookies[i].edid, &xcb_randr_get_output_property_reply);
            if (edid && edid->format == 8 && edid->type == XCB_ATOM_INTEGER) {
                result[i].edid
                    = QByteArray(reinterpret_cast<const char *>(xcb_randr_get_output_property_data(edid.get())),
                        xcb_randr_get_output_property_data_length(edid.get()));
            }
        }
    }
    dispatchQueuedLater();
    return result;
}

QRect X11Connection::rootRect() const
{
    return QRect(0, 0, m_screen->width_in_pixels, m_screen->height_in_pixels);
}

void X11Connection::sendToRoot(const xcb_client_message_event_t &message)
{
    // EWMH: client messages to the window manager go to the root window with these two masks.
    xcb_send_event(m_connection, 0, m_screen->root,
        XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char *>(&message));
}

void X11Connection::requestMoveResize(xcb_window_t window, std::optional<QPoint> position, std::optional<QSize> size)
{
    if (hasError())
        return;
    // Gravity 0: x and y are read in the window's own win_gravity, which is how openbox, xfwm4 and KWin
    // land the frame exactly for Static- and NorthWest-gravity clients alike.
    int flags = 0;
    if (position)
        flags |= XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y;
    if (size)
        flags |= XCB_EWMH_MOVERESIZE_WINDOW_WIDTH | XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT;
    xcb_ewmh_request_moveresize_window(&m_ewmh, m_screenNumber, window, XCB_GRAVITY_BIT_FORGET,
        XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, xcb_ewmh_moveresize_window_opt_flags_t(flags),
        position ? uint32_t(position->x()) : 0, position ? uint32_t(position->y()) : 0,
        size ? uint32_t(std::max(size->width(), 1)) : 0, size ? uint32_t(std::max(size->height(), 1)) : 0);
}

void X11Connection::requestState(xcb_window_t window, bool add, xcb_atom_t first, xcb_atom_t second)
{
    if (hasError())
        return;
    xcb_ewmh_request_change_wm_state(&m_ewmh, m_screenNumber, window,
        add ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE, first, second, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
}

void X11Connection::requestDesktop(xcb_window_t window, quint32 desktop)
{
    if (hasError())
        return;
    xcb_ewmh_request_change_wm_desktop(&m_ewmh, m_screenNumber, window, desktop, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
}

void X11Connection::requestActivate(xcb_window_t window)
{
    if (hasError())
        return;
    xcb_ewmh_request_change_active_window(
        &m_ewmh, m_screenNumber, window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, serverTime(), XCB_NONE);
    flush();
}

void X11Connection::requestClose(xcb_window_t window, bool supportsDelete)
{
    if (hasError())
        return;
    if (!supportsDelete) {
        xcb_ewmh_request_close_window(
            &m_ewmh, m_screenNumber, window, XCB_CURRENT_TIME, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
        flush();
        return;
    }
    // ICCCM 4.2.8.1: a ClientMessage of type WM_PROTOCOLS sent to the client window itself.
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_atoms.wmProtocols;
    message.data.data32[0] = m_atoms.wmDeleteWindow;
    message.data.data32[1] = serverTime();
    // Checked, and the answer discarded: a window gone in between must not leave an error in the queue.
    const xcb_void_cookie_t cookie = xcb_send_event_checked(
        m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&message));
    xcb_discard_reply(m_connection, cookie.sequence);
    flush();
}

void X11Connection::watchWindow(xcb_window_t window)
{
    if (hasError())
        return;
    // Other clients' event masks on the window are their own; ours adds these events for us alone.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    const xcb_void_cookie_t cookie
        = xcb_change_window_attributes_checked(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_discard_reply(m_connection, cookie.sequence);
}

void X11Connection::unwatchWindow(xcb_window_t window)
{
    if (hasError())
        return;
    const uint32_t mask = XCB_EVENT_MASK_NO_EVENT;
    const xcb_void_cookie_t cookie
        = xcb_change_window_attributes_checked(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_discard_reply(m_connection, cookie.sequence);
}

void X11Connection::flush()
{
    xcb_flush(m_connection);
    dispatchQueuedLater();
}

void X11Connection::dispatchQueuedLater()
{
    // Waiting for a reply reads whatever the server sent before it, events included; those sit in libxcb's
    // queue, and the socket notifier, which only sees the socket, would never report them.
    while (xcb_generic_event_t *event = xcb_poll_for_queued_event(m_connection))
        m_pending.push_back(event);
    if (m_pending.empty() || m_dispatchScheduled)
        return;
    m_dispatchScheduled = true;
    QMetaObject::invokeMethod(this, &X11Connection::dispatchEvents, Qt::QueuedConnection);
}

void X11Connection::setOwnWindowHints(xcb_window_t window, bool skipTaskbar, bool onAllDesktops)
{
    if (hasError())
        return;
    auto attributesCookie = xcb_get_window_attributes(m_connection, window);
    auto statesCookie = getProperty(m_connection, window, m_ewmh._NET_WM_STATE, 64);
    auto desktopCookie = getProperty(m_connection, window, m_ewmh._NET_WM_DESKTOP, 1);
    auto currentCookie = xcb_ewmh_get_current_desktop(&m_ewmh, m_screenNumber);
    ++m_roundTrips;
    auto attributes = takeReply<xcb_get_window_attributes_reply_t>(
        m_connection, attributesCookie, &xcb_get_window_attributes_reply);
    auto statesReply = takeProperty(m_connection, statesCookie);
    const std::optional<quint32> desktop = cardinalOf(takeProperty(m_connection, desktopCookie));
    const std::optional<quint32> current = cardinalOf(takeProperty(m_connection, currentCookie));
    if (!attributes) {
        // Not created yet: the toolkit's connection has not sent it to the server.
        auto &pending = m_ownHints[window];
        pending = { skipTaskbar, onAllDesktops, pending.triesLeft > 0 ? pending.triesLeft - 1 : ownHintTries };
        if (pending.triesLeft == 0) {
            m_ownHints.erase(window);
            return;
        }
        QTimer::singleShot(ownHintRetryMs, this, [this, window] {
            const auto it = m_ownHints.find(window);
            if (it != m_ownHints.end())
                setOwnWindowHints(window, it->second.skipTaskbar, it->second.onAllDesktops);
        });
        return;
    }
    constexpr quint32 everyDesktop = 0xFFFFFFFF;
    const xcb_atom_t skipTaskbarAtom = m_ewmh._NET_WM_STATE_SKIP_TASKBAR;
    const xcb_atom_t skipPagerAtom = m_ewmh._NET_WM_STATE_SKIP_PAGER;

    if (attributes->map_state != XCB_MAP_STATE_UNMAPPED) {
        m_ownHints.erase(window);
        // Managed: the window manager's to change. Source 1: the request comes from the window's own
        // application.
        xcb_ewmh_request_change_wm_state(&m_ewmh, m_screenNumber, window,
            skipTaskbar ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE, skipTaskbarAtom, skipPagerAtom,
            XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
        if (onAllDesktops && desktop != everyDesktop) {
            xcb_ewmh_request_change_wm_desktop(
                &m_ewmh, m_screenNumber, window, everyDesktop, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
        } else if (!onAllDesktops && desktop == everyDesktop) {
            xcb_ewmh_request_change_wm_desktop(
                &m_ewmh, m_screenNumber, window, current.value_or(0), XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
        }
    } else {
        // Not mapped yet: the properties are the client's, and the window manager reads them when it maps.
        // The toolkit rewrites them as it maps, so the window manager is asked again once it has.
        m_ownHints[window] = { skipTaskbar, onAllDesktops, ownHintTries };
        watchWindow(window);
        std::vector<xcb_atom_t> states;
        if (statesReply && statesReply->type == XCB_ATOM_ATOM)
            states = propertyValues<xcb_atom_t>(statesReply, 32);
        std::erase_if(states, [&](xcb_atom_t a) { return a == skipTaskbarAtom || a == skipPagerAtom; });
        if (skipTaskbar) {
            states.push_back(skipTaskbarAtom);
            states.push_back(skipPagerAtom);
        }
        const xcb_void_cookie_t written = xcb_change_property_checked(m_connection, XCB_PROP_MODE_REPLACE, window,
            m_ewmh._NET_WM_STATE, XCB_ATOM_ATOM, 32, uint32_t(states.size()), states.data());
        xcb_discard_reply(m_connection, written.sequence);
        if (onAllDesktops) {
            const xcb_void_cookie_t cookie = xcb_change_property_checked(m_connection, XCB_PROP_MODE_REPLACE, window,
                m_ewmh._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 32, 1, &everyDesktop);
            xcb_discard_reply(m_connection, cookie.sequence);
        } else if (desktop == everyDesktop) {
            const xcb_void_cookie_t cookie = xcb_delete_property_checked(m_connection, window, m_ewmh._NET_WM_DESKTOP);
            xcb_discard_reply(m_connection, cookie.sequence);
        }
    }
    // Processed before this returns: the toolkit maps the window through a connection of its own.
    ++m_roundTrips;
    xcbReply(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    dispatchQueuedLater();
}

void X11Connection::sync()
{
    ++m_roundTrips;
    xcbReply(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    dispatchEvents();
}

xcb_timestamp_t X11Connection::serverTime()
{
    // A zero-length append changes nothing but produces a PropertyNotify carrying the server's time.
    xcb_change_property(
        m_connection, XCB_PROP_MODE_APPEND, m_timeWindow, m_atoms.timestampProperty, XCB_ATOM_INTEGER, 32, 0, nullptr);
    xcb_flush(m_connection);
    ++m_roundTrips;
    while (auto event = xcbReply(xcb_wait_for_event(m_connection))) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event.get());
            if (notify->window == m_timeWindow)
                return notify->time;
        }
        m_pending.push_back(event.release());
    }
    return XCB_CURRENT_TIME;
}

void X11Connection::dispatchEvents()
{
    m_dispatchScheduled = false;
    while (xcb_generic_event_t *event = xcb_poll_for_queued_event(m_connection))
        m_pending.push_back(event);
    while (!m_pending.empty()) {
        auto event = xcbReply(m_pending.front());
        m_pending.pop_front();
        handleEvent(event.get());
    }
    while (auto event = xcbReply(xcb_poll_for_event(m_connection)))
        handleEvent(event.get());
    if (hasError() && !m_brokenReported) {
        m_brokenReported = true;
        m_notifier->setEnabled(false);
        emit disconnected();
    }
}

bool X11Connection::compositorRunning() const
{
    const QByteArray name = QByteArrayLiteral("_NET_WM_CM_S") + QByteArray::number(m_screenNumber);
    // Only an atom that exists already: no compositor ever ran when there is none.
    const auto atom = xcbReply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 1, uint16_t(name.size()), name.constData()), nullptr));
    if (!atom || atom->atom == XCB_NONE)
        return false;
    const auto owner = xcbReply(
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, atom->atom), nullptr));
    return owner && owner->owner != XCB_NONE;
}

std::optional<quint32> X11Connection::trayForegroundRgb() const
{
    const QByteArray name = QByteArrayLiteral("_NET_SYSTEM_TRAY_S") + QByteArray::number(m_screenNumber);
    const auto selection = xcbReply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 1, uint16_t(name.size()), name.constData()), nullptr));
    if (!selection || selection->atom == XCB_NONE)
        return std::nullopt;
    const auto owner = xcbReply(
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, selection->atom), nullptr));
    if (!owner || owner->owner == XCB_NONE)
        return std::nullopt;
    static constexpr char colors[] = "_NET_SYSTEM_TRAY_COLORS";
    const auto colorsAtom = xcbReply(
        xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 1, sizeof colors - 1, colors), nullptr));
    if (!colorsAtom || colorsAtom->atom == XCB_NONE)
        return std::nullopt;
    const PropertyReply reply = takeProperty(
        m_connection, xcb_get_property(m_connection, 0, owner->owner, colorsAtom->atom, XCB_ATOM_CARDINAL, 0, 12));
    // Four colours (normal, error, warning, success), each red, green, blue in 0..65535.
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < int(3 * sizeof(uint32_t)))
        return std::nullopt;
    const auto *rgb = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    const auto channel = [](uint32_t value) { return quint32(std::min<uint32_t>(value, 65535) / 257); };
    return (channel(rgb[0]) << 16) | (channel(rgb[1]) << 8) | channel(rgb[2]);
}

xcb_window_t X11Connection::rootWindow() const
{
    return m_screen->root;
}

void X11Connection::handleEvent(xcb_generic_event_t *event)
{
    const uint8_t type = event->response_type & 0x7f;
    if (type == 0) {
        ++m_strayErrors; // every request's error is collected with its reply; this one was not
        return;
    }
    if (m_randrMonitors && type == m_randrEventBase + XCB_RANDR_SCREEN_CHANGE_NOTIFY) {
        emit monitorsChanged();
        return;
    }
    if (m_randrMonitors && type == m_randrEventBase + XCB_RANDR_NOTIFY) {
        emit monitorsChanged();
        return;
    }
    switch (type) {
    case XCB_CONFIGURE_NOTIFY: {
        const xcb_window_t window = reinterpret_cast<xcb_configure_notify_event_t *>(event)->window;
        if (window == m_screen->root)
            emit monitorsChanged();
        else
            emit windowConfigured(window);
        break;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
        if (notify->window != m_timeWindow)
            emit windowPropertyChanged(notify->window, notify->atom);
        break;
    }
    case XCB_MAP_NOTIFY: {
        const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
        const auto it = m_ownHints.find(window);
        if (it != m_ownHints.end()) {
            const OwnWindowHints hints = it->second;
            m_ownHints.erase(it);
            setOwnWindowHints(window, hints.skipTaskbar, hints.onAllDesktops);
        }
        break;
    }
    case XCB_DESTROY_NOTIFY:
        m_ownHints.erase(reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window);
        emit windowDestroyed(reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window);
        break;
    default:
        break;
    }
}
