// Asking the window manager for a window's size.
#include "x11/WindowResize.h"

#include "x11/WorkArea.h"

#include <algorithm>
#include <cmath>
#include <xcb/randr.h>

namespace nivu::x11 {

namespace {

void sendToRoot(const X11Connection& x, const xcb_client_message_event_t& message) {
    xcb_send_event(x.get(), 0, x.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

xcb_client_message_event_t messageTo(xcb_window_t window, xcb_atom_t type) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    return message;
}

// Window managers keep the size of maximized and fullscreen windows: leave those states.
void leaveMaximizedAndFullscreen(const X11Connection& x, xcb_window_t window) {
    const std::pair<xcb_atom_t, xcb_atom_t> states[] = {
        {x.atom(Atom::netWmStateMaximizedVert), x.atom(Atom::netWmStateMaximizedHorz)},
        {x.atom(Atom::netWmStateFullscreen), XCB_NONE}};
    for (const auto& [first, second] : states) {
        auto message = messageTo(window, x.atom(Atom::netWmState));
        message.data.data32[0] = 0; // _NET_WM_STATE_REMOVE
        message.data.data32[1] = first;
        message.data.data32[2] = second;
        message.data.data32[3] = 2; // source: pager
        sendToRoot(x, message);
    }
}

} // namespace

void requestWindowSize(X11Connection& x, xcb_window_t window, Size visible,
                       const WindowFacts& facts) {
    const auto areasCookie = requestProperty(x, x.root(), x.atom(Atom::netWorkarea), 1 << 12);
    const auto desktopCookie = requestProperty(x, x.root(), x.atom(Atom::netCurrentDesktop), 4);
    const auto supportedCookie = requestProperty(x, x.root(), x.atom(Atom::netSupported), 1 << 14);
    const auto frameCookie = requestProperty(x, window, x.atom(Atom::netFrameExtents), 16);
    const auto geometryCookie = xcb_get_geometry(x.get(), window);
    const auto originCookie = xcb_translate_coordinates(x.get(), window, x.root(), 0, 0);
    const auto* randr = xcb_get_extension_data(x.get(), &xcb_randr_id);
    const bool haveMonitors = randr && randr->present;
    const auto monitorsCookie = haveMonitors ? xcb_randr_get_monitors(x.get(), x.root(), 1)
                                             : xcb_randr_get_monitors_cookie_t{};
    const auto workAreas = collectCardinals(x, areasCookie);
    const auto current = collectCardinals(x, desktopCookie);
    const auto supported = collectCardinals(x, supportedCookie);
    const auto frame = collectCardinals(x, frameCookie);
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(x.get(), geometryCookie, nullptr));
    Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(x.get(), originCookie, nullptr));
    std::vector<PixelRect> monitors;
    if (haveMonitors) {
        Reply<xcb_randr_get_monitors_reply_t> reply(
            xcb_randr_get_monitors_reply(x.get(), monitorsCookie, nullptr));
        for (auto it = reply ? xcb_randr_get_monitors_monitors_iterator(reply.get())
                             : xcb_randr_monitor_info_iterator_t{};
             it.rem > 0; xcb_randr_monitor_info_next(&it)) {
            monitors.push_back({it.data->x, it.data->y, it.data->width, it.data->height});
        }
    }
    x.repliesCollected();
    if (monitors.empty()) {
        monitors.push_back({0, 0, x.screen().width_in_pixels, x.screen().height_in_pixels});
    }

    const auto centre = [](std::int32_t from, std::int32_t length) { return from + length / 2; };
    const auto area = geometry && origin
                          ? workAreaAt(centre(origin->dst_x, geometry->width),
                                       centre(origin->dst_y, geometry->height), monitors, workAreas,
                                       current.empty() ? 0 : current.front())
                          : std::nullopt;
    const Size fitted =
        fitInWorkArea({std::round(visible.width), std::round(visible.height)}, area, frame);
    const double width = fitted.width + facts.shadow.width;
    const double height = fitted.height + facts.shadow.height;
    if (!(width >= 1 && width <= 32767 && height >= 1 && height <= 32767)) {
        return; // beyond what X can express
    }
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    if (facts.maximizedOrFullscreen(x)) {
        leaveMaximizedAndFullscreen(x, window);
    }
    if (std::ranges::count(supported, x.atom(Atom::netMoveresizeWindow)) > 0) {
        // Width and height flags only, source "pager": the position stays where it is.
        auto message = messageTo(window, x.atom(Atom::netMoveresizeWindow));
        message.data.data32[0] = (1u << 10) | (1u << 11) | (2u << 12);
        message.data.data32[3] = w;
        message.data.data32[4] = h;
        sendToRoot(x, message);
    } else {
        const std::uint32_t values[] = {w, h};
        xcb_configure_window(x.get(), window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                             values);
    }
    x.flush();
}

} // namespace nivu::x11
