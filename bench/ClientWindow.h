// A plain client window of this process for benchmarks, managed and activated by the window
// manager, resized on a connection of its own.
#pragma once

#include "x11/X11Connection.h"

#include <chrono>
#include <cstring>
#include <optional>
#include <unistd.h>
#include <xcb/xcb.h>

namespace nivu::bench {

// A plain client window of this process, managed and made active by the window manager.
class ClientWindow {
public:
    ClientWindow()
        : connection_(xcb_connect(nullptr, nullptr)) {
        const auto* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        root_ = screen->root;
        window_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, 100, 100, 400, 300, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        const std::uint32_t pid = static_cast<std::uint32_t>(::getpid());
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom("_NET_WM_PID"),
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_CLASS,
                            XCB_ATOM_STRING, 8, 12, "bench\0Bench\0");
        xcb_map_window(connection_, window_);
        xcb_flush(connection_);
    }
    ~ClientWindow() { xcb_disconnect(connection_); }

    // Asks the window manager to make the window active, again each quarter second while the
    // caller waits: a window manager drops the request for a window it has not managed yet.
    void askToBeActive() {
        const auto now = std::chrono::steady_clock::now();
        if (asked_ && now - *asked_ < std::chrono::milliseconds(250)) {
            return;
        }
        asked_ = now;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window_;
        message.type = atom("_NET_ACTIVE_WINDOW");
        message.data.data32[0] = 2;
        xcb_send_event(connection_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
    }
    void resize(std::uint32_t width, std::uint32_t height) {
        const std::uint32_t values[] = {width, height};
        xcb_configure_window(connection_, window_,
                             XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
        xcb_flush(connection_);
    }

private:
    xcb_atom_t atom(const char* name) {
        x11::Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        return reply ? reply->atom : XCB_NONE;
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_window_t window_ = 0;
    std::optional<std::chrono::steady_clock::time_point> asked_;
};

} // namespace nivu::bench
