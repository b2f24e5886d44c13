// Foreign top-level windows through xcb.
#include "services/X11Windows.h"

#include <QX11Info>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {
template <class T> using TReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* Connection() {
    return QX11Info::isPlatformX11() ? QX11Info::connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    TReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QString Caption(xcb_connection_t* connection, xcb_window_t window) {
    const xcb_atom_t netName = Atom(connection, "_NET_WM_NAME");
    for (xcb_atom_t property : {netName, xcb_atom_t(XCB_ATOM_WM_NAME)}) {
        TReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr),
            &std::free);
        if (reply && xcb_get_property_value_length(reply.get()) > 0)
            return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                     xcb_get_property_value_length(reply.get()));
    }
    return QString();
}

bool Viewable(xcb_connection_t* connection, xcb_window_t window) {
    TReply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr),
        &std::free);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// Searches the children of parent, and below them down to depth levels (frames of a window
// manager hold the program's window one or two levels down).
xcb_window_t Find(xcb_connection_t* connection, xcb_window_t parent, const QStringList& titles, int depth) {
    TReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection, xcb_query_tree(connection, parent), nullptr),
                                        &std::free);
    if (!tree)
        return XCB_WINDOW_NONE;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = count - 1; i >= 0; --i) { // topmost first
        if (!Viewable(connection, children[i]))
            continue;
        if (titles.contains(Caption(connection, children[i])))
            return children[i];
        if (depth > 0) {
            if (const xcb_window_t inner = Find(connection, children[i], titles, depth - 1))
                return inner;
        }
    }
    return XCB_WINDOW_NONE;
}
} // namespace

bool X11WindowsAvailable() {
    return Connection() != nullptr;
}

quint32 FindX11Window(const QStringList& titles) {
    xcb_connection_t* connection = Connection();
    if (!connection || titles.isEmpty())
        return 0;
    return Find(connection, QX11Info::appRootWindow(), titles, 2);
}

bool X11WindowExists(quint32 window) {
    xcb_connection_t* connection = Connection();
    if (!connection || !window)
        return false;
    TReply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr),
        &std::free);
    return reply != nullptr;
}

QSize X11WindowSize(quint32 window) {
    xcb_connection_t* connection = Connection();
    if (!connection || !window)
        return QSize();
    TReply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free);
    return reply ? QSize(reply->width, reply->height) : QSize();
}

void X11RequestClose(quint32 window) {
    xcb_connection_t* connection = Connection();
    if (!connection || !window)
        return;
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom(connection, "WM_PROTOCOLS");
    message.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}
