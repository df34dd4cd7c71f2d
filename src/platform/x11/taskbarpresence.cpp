// Setting and clearing the taskbar and pager skip states on our own windows.
#include "taskbarpresence.h"

#include "xcbreply.h"

#include <QGuiApplication>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace {

enum { netWmState, skipTaskbar, skipPager, atomCount };

std::array<xcb_atom_t, atomCount> internAtoms(xcb_connection_t *connection)
{
    static constexpr std::array<const char *, atomCount> names{"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                                               "_NET_WM_STATE_SKIP_PAGER"};
    std::array<xcb_intern_atom_cookie_t, atomCount> cookies{};
    for (size_t i = 0; i < atomCount; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(strlen(names[i])), names[i]);
    std::array<xcb_atom_t, atomCount> atoms{};
    for (size_t i = 0; i < atomCount; ++i) {
        auto reply = xcbReply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    return atoms;
}

/// EWMH _NET_WM_STATE request: action 1 adds, 0 removes; source 1 is an application.
void requestState(xcb_connection_t *connection, xcb_window_t window, const std::array<xcb_atom_t, atomCount> &atoms,
                  bool add)
{
    auto tree = xcbReply(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (!tree)
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atoms[netWmState];
    event.data.data32[0] = add ? 1 : 0;
    event.data.data32[1] = atoms[skipTaskbar];
    event.data.data32[2] = atoms[skipPager];
    event.data.data32[3] = 1;
    xcb_send_event(connection, 0, tree->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
}

/// Rewrites the property of a window the window manager does not manage yet.
void writeState(xcb_connection_t *connection, xcb_window_t window, const std::array<xcb_atom_t, atomCount> &atoms,
                bool add)
{
    auto reply = xcbReply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, atoms[netWmState], XCB_ATOM_ATOM, 0, 1024), nullptr));
    std::vector<xcb_atom_t> states;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        states.assign(values, values + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t));
    }
    std::erase_if(states, [&](xcb_atom_t a) { return a == atoms[skipTaskbar] || a == atoms[skipPager]; });
    if (add) {
        states.push_back(atoms[skipTaskbar]);
        states.push_back(atoms[skipPager]);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms[netWmState], XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.data());
}

} // namespace

bool TaskbarPresence::setOnAllDesktops(QWindow *window)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!window || window->isVisible() || !x11 || !x11->connection())
        return false;
    xcb_connection_t *connection = x11->connection();
    static constexpr char name[] = "_NET_WM_DESKTOP";
    auto atom = xcbReply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom->atom,
                        XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    xcb_flush(connection);
    return true;
}

bool TaskbarPresence::setSkipped(QWindow *window, bool skip)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!window || !x11 || !x11->connection())
        return false;
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window->winId());
    const auto atoms = internAtoms(connection);
    if (std::find(atoms.begin(), atoms.end(), XCB_ATOM_NONE) != atoms.end())
        return false;
    if (window->isVisible())
        requestState(connection, id, atoms, skip);
    else
        writeState(connection, id, atoms, skip);
    xcb_flush(connection);
    return true;
}
