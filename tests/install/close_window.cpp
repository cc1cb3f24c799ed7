// close_window TITLE SECONDS
//
// Waits until a top-level window titled TITLE is on screen on the X display
// named by DISPLAY, asks it to close the way a window manager's close button
// does (WM_DELETE_WINDOW), and waits until the window is gone. Exit status 0
// when it went, 1 when no such window showed up or it stayed for SECONDS,
// 2 on a usage or display error.
//
// Qt sets a close request aside while it flushes window events without user
// input (as it does around showing a window) and takes it up with the next
// event from the display. Without a window manager nothing else may come, so
// a harmless property change follows the request until the window goes.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> Owned<Reply> own(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto reply = own(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string title(xcb_connection_t* c, xcb_window_t window) {
    const auto reply = own(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256), nullptr));
    if (!reply)
        return {};
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(text, static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

bool viewable(xcb_connection_t* c, xcb_window_t window) {
    const auto reply =
        own(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// A viewable child of the root window with the given title, or none.
xcb_window_t find(xcb_connection_t* c, xcb_window_t root, const std::string& wanted) {
    const auto tree = own(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (!tree)
        return XCB_WINDOW_NONE;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        if (viewable(c, children[i]) && title(c, children[i]) == wanted)
            return children[i];
    }
    return XCB_WINDOW_NONE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: close_window TITLE SECONDS\n");
        return 2;
    }
    const std::string wanted = argv[1];
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "close_window: cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_window_t window = XCB_WINDOW_NONE;
    while ((window = find(c, root, wanted)) == XCB_WINDOW_NONE &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (window == XCB_WINDOW_NONE) {
        std::fprintf(stderr, "close_window: no window \"%s\" on screen\n", wanted.c_str());
        xcb_disconnect(c);
        return 1;
    }

    std::printf("close_window: asking window 0x%x \"%s\" to close\n", window, wanted.c_str());
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, "WM_PROTOCOLS");
    event.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);

    const xcb_atom_t nudge = atom(c, "_KESTRIX_CLOSE_WINDOW_NUDGE");
    uint32_t count = 0;
    while (viewable(c, window) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ++count;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, nudge, XCB_ATOM_CARDINAL, 32, 1,
                            &count);
        xcb_flush(c);
    }
    const bool gone = !viewable(c, window);
    xcb_disconnect(c);
    if (!gone) {
        std::fprintf(stderr, "close_window: window \"%s\" stayed on screen\n", wanted.c_str());
        return 1;
    }
    return 0;
}
