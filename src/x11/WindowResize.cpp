// Asking the window manager for a window's size.
#include "x11/WindowResize.h"

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

// The start of a box of this length moved just far enough to lie inside [from, from + room),
// its start kept in view where it cannot lie inside.
std::int64_t insideSpan(std::int64_t start, std::int64_t length, std::int64_t from,
                        std::int64_t room) {
    return std::max(from, std::min(start, from + room - length));
}

// Where the window manager does not say what its frame adds (i3 sets no _NET_FRAME_EXTENTS),
// the frame is the window's ancestor just below the root, which a reparenting manager draws.
std::vector<std::uint32_t> measuredFrame(X11Connection& x, xcb_window_t window, PixelRect client) {
    xcb_window_t topLevel = window;
    for (int depth = 0; depth < 8; ++depth) {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(x.get(), xcb_query_tree(x.get(), topLevel), nullptr));
        if (!tree || tree->parent == XCB_NONE || tree->parent == x.root()) {
            break;
        }
        topLevel = tree->parent;
    }
    Reply<xcb_get_geometry_reply_t> frame(
        xcb_get_geometry_reply(x.get(), xcb_get_geometry(x.get(), topLevel), nullptr));
    x.repliesCollected();
    if (topLevel == window || !frame) {
        return {};
    }
    const std::int64_t left = std::int64_t{client.x} - frame->x;
    const std::int64_t top = std::int64_t{client.y} - frame->y;
    const std::int64_t right = std::int64_t{frame->x} + frame->width - (client.x + client.width);
    const std::int64_t bottom = std::int64_t{frame->y} + frame->height - (client.y + client.height);
    if (std::min({left, top, right, bottom}) < 0) {
        return {};
    }
    return {static_cast<std::uint32_t>(left), static_cast<std::uint32_t>(right),
            static_cast<std::uint32_t>(top), static_cast<std::uint32_t>(bottom)};
}

std::vector<PixelRect> readMonitors(X11Connection& x, xcb_randr_get_monitors_cookie_t cookie) {
    std::vector<PixelRect> monitors;
    Reply<xcb_randr_get_monitors_reply_t> reply(
        xcb_randr_get_monitors_reply(x.get(), cookie, nullptr));
    for (auto it = reply ? xcb_randr_get_monitors_monitors_iterator(reply.get())
                         : xcb_randr_monitor_info_iterator_t{};
         it.rem > 0; xcb_randr_monitor_info_next(&it)) {
        monitors.push_back({it.data->x, it.data->y, it.data->width, it.data->height});
    }
    return monitors;
}

} // namespace

std::optional<ResizePlan> planResize(const ResizeInputs& in) {
    const Size fitted = fitInWorkArea({std::round(in.visible.width), std::round(in.visible.height)},
                                      in.workArea, in.frame);
    const double width = fitted.width + in.shadow.width;
    const double height = fitted.height + in.shadow.height;
    if (!(width >= 1 && width <= 32767 && height >= 1 && height <= 32767)) {
        return std::nullopt;
    }
    ResizePlan plan{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), {}};
    if (in.client && in.workArea) {
        const bool framed = in.frame.size() == 4;
        const std::int64_t left = framed ? in.frame[0] : 0, right = framed ? in.frame[1] : 0;
        const std::int64_t top = framed ? in.frame[2] : 0, bottom = framed ? in.frame[3] : 0;
        const std::int64_t x = std::int64_t{in.client->x} - left;
        const std::int64_t y = std::int64_t{in.client->y} - top;
        const std::int64_t newX =
            insideSpan(x, plan.width + left + right, in.workArea->x, in.workArea->width);
        const std::int64_t newY =
            insideSpan(y, plan.height + top + bottom, in.workArea->y, in.workArea->height);
        if (newX != x || newY != y) {
            plan.frameOrigin = {static_cast<std::int32_t>(newX), static_cast<std::int32_t>(newY)};
        }
    }
    return plan;
}

std::optional<ResizePlan> requestWindowSize(X11Connection& x, xcb_window_t window, Size visible,
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
    ResizeInputs inputs{visible, facts.shadow, std::nullopt, std::nullopt,
                        collectCardinals(x, frameCookie)};
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(x.get(), geometryCookie, nullptr));
    Reply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(x.get(), originCookie, nullptr));
    auto monitors = haveMonitors ? readMonitors(x, monitorsCookie) : std::vector<PixelRect>{};
    x.repliesCollected();

    if (monitors.empty()) {
        monitors.push_back({0, 0, x.screen().width_in_pixels, x.screen().height_in_pixels});
    }
    if (geometry && origin) {
        inputs.client = PixelRect{origin->dst_x, origin->dst_y, geometry->width, geometry->height};
        if (inputs.frame.size() != 4) {
            inputs.frame = measuredFrame(x, window, *inputs.client);
        }
        inputs.workArea =
            workAreaAt(origin->dst_x + geometry->width / 2, origin->dst_y + geometry->height / 2,
                       monitors, workAreas, current.empty() ? 0 : current.front());
    }
    const auto plan = planResize(inputs);
    if (!plan) {
        return std::nullopt; // beyond what X can express
    }
    if (facts.maximizedOrFullscreen(x)) {
        leaveMaximizedAndFullscreen(x, window);
    }
    if (std::ranges::count(supported, x.atom(Atom::netMoveresizeWindow)) > 0) {
        // North-west gravity: a position is the frame's top left. Source "pager". Without a
        // position the window stays where it is.
        auto message = messageTo(window, x.atom(Atom::netMoveresizeWindow));
        message.data.data32[0] = 1u | (1u << 10) | (1u << 11) | (2u << 12);
        if (plan->frameOrigin) {
            message.data.data32[0] |= (1u << 8) | (1u << 9);
            message.data.data32[1] = static_cast<std::uint32_t>(plan->frameOrigin->first);
            message.data.data32[2] = static_cast<std::uint32_t>(plan->frameOrigin->second);
        }
        message.data.data32[3] = plan->width;
        message.data.data32[4] = plan->height;
        sendToRoot(x, message);
        x.flush();
        return plan;
    }
    configureWindow(x, window, *plan);
    return std::nullopt; // asked the way every manager takes: nothing to ask again
}

void configureWindow(X11Connection& x, xcb_window_t window, const ResizePlan& plan) {
    std::uint16_t mask = XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
    std::vector<std::uint32_t> values;
    if (plan.frameOrigin) {
        mask |= XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y;
        values = {static_cast<std::uint32_t>(plan.frameOrigin->first),
                  static_cast<std::uint32_t>(plan.frameOrigin->second)};
    }
    values.insert(values.end(), {plan.width, plan.height});
    xcb_configure_window(x.get(), window, mask, values.data());
    x.flush();
}

} // namespace nivu::x11
