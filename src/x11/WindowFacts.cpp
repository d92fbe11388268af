// Window facts, read in one pipelined batch.
#include "x11/WindowFacts.h"

#include "x11/PropertyText.h"

#include <algorithm>

namespace nivu::x11 {

namespace {
bool contains(const std::vector<std::uint32_t>& items, std::uint32_t item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

// One small reader per property reply.

std::vector<std::uint32_t> listOf(const std::optional<PropertyValue>& value) {
    return value ? cardinals(*value) : std::vector<std::uint32_t>{};
}

std::optional<std::vector<std::uint32_t>> listIfSet(const std::optional<PropertyValue>& value) {
    return value ? std::optional(cardinals(*value)) : std::nullopt;
}

std::optional<std::uint32_t> firstOf(const std::optional<PropertyValue>& value) {
    const auto items = listOf(value);
    return items.empty() ? std::nullopt : std::optional(items.front());
}

// Text properties (WM_WINDOW_ROLE), as UTF-8.
std::optional<std::string> textOf(const std::optional<PropertyValue>& value) {
    return value && value->format == 8 ? std::optional(propertyText(value->bytes)) : std::nullopt;
}

// WM_CLASS: its class part.
std::optional<std::string> classOf(const std::optional<PropertyValue>& value) {
    return value && value->format == 8 ? windowClass(value->bytes) : std::nullopt;
}

std::optional<xcb_size_hints_t> sizeHintsOf(const Reply<xcb_get_property_reply_t>& reply) {
    xcb_size_hints_t hints{};
    return reply && xcb_icccm_get_wm_size_hints_from_reply(&hints, reply.get())
               ? std::optional(hints)
               : std::nullopt;
}
} // namespace

std::optional<WindowSubrole> WindowFacts::subrole(const X11Connection& x) const {
    if (!exists) {
        return std::nullopt;
    }
    if (overrideRedirect) {
        return WindowSubrole::unknown;
    }
    return windowKind(windowTypes, transient, x.atom(Atom::netWmWindowTypeNormal),
                      x.atom(Atom::netWmWindowTypeDialog));
}

WindowSubrole windowKind(const std::vector<std::uint32_t>& types, bool transient, xcb_atom_t normal,
                         xcb_atom_t dialog) {
    // A transient window is a dialog of another, whatever type it names (LibreOffice's dialogs
    // name NORMAL); EWMH says as much for one without a type.
    const auto preferred = types.empty() ? normal : types.front();
    if (preferred == normal) {
        return transient ? WindowSubrole::dialog : WindowSubrole::standardWindow;
    }
    return preferred == dialog ? WindowSubrole::dialog : WindowSubrole::unknown;
}

bool WindowFacts::sizeSettable(const X11Connection& x) const {
    if (!exists) {
        return false;
    }
    if (normalHints) {
        const auto& hints = *normalHints;
        const bool bounded = (hints.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE) &&
                             (hints.flags & XCB_ICCCM_SIZE_HINT_P_MAX_SIZE);
        if (bounded && hints.min_width == hints.max_width && hints.min_height == hints.max_height) {
            return false;
        }
    }
    return !maximizedOrFullscreen(x) &&
           (!allowedActions || contains(*allowedActions, x.atom(Atom::netWmActionResize)));
}

bool WindowFacts::maximizedOrFullscreen(const X11Connection& x) const {
    return std::ranges::any_of(states, [&x](std::uint32_t state) {
        return state == x.atom(Atom::netWmStateMaximizedVert) ||
               state == x.atom(Atom::netWmStateMaximizedHorz) ||
               state == x.atom(Atom::netWmStateFullscreen);
    });
}

ProcessId WindowFacts::application(xcb_window_t window) const {
    if (pid && *pid > 0 && *pid <= static_cast<std::uint32_t>(INT32_MAX)) {
        return static_cast<ProcessId>(*pid);
    }
    // Without a process id the client leader (or the window itself) stands for the
    // application; X ids fit in 29 bits, so the negative id never collides with a process.
    const xcb_window_t key = leader && *leader != XCB_NONE ? *leader : window;
    return -static_cast<ProcessId>(key & 0x1FFFFFFF);
}

std::optional<Size> frameShadow(const PropertyValue& extents, Size client) {
    const auto values = cardinals(extents);
    if (values.size() != 4) {
        return std::nullopt;
    }
    const Size shadow{static_cast<double>(values[0]) + values[1],
                      static_cast<double>(values[2]) + values[3]};
    if (shadow.width >= client.width || shadow.height >= client.height) {
        return std::nullopt;
    }
    return shadow;
}

std::vector<WindowFacts> readWindowFacts(X11Connection& x,
                                         const std::vector<xcb_window_t>& windows) {
    struct Cookies {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_get_property_cookie_t type, transient, hints, actions, role, wmClass, pid, leader,
            extents, states;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (const auto window : windows) {
        cookies.push_back({
            xcb_get_window_attributes(x.get(), window),
            xcb_get_geometry(x.get(), window),
            requestProperty(x, window, x.atom(Atom::netWmWindowType), 64),
            requestProperty(x, window, XCB_ATOM_WM_TRANSIENT_FOR, 4),
            requestProperty(x, window, XCB_ATOM_WM_NORMAL_HINTS, 72),
            requestProperty(x, window, x.atom(Atom::netWmAllowedActions), 256),
            requestProperty(x, window, x.atom(Atom::wmWindowRole)),
            requestProperty(x, window, XCB_ATOM_WM_CLASS),
            requestProperty(x, window, x.atom(Atom::netWmPid), 4),
            requestProperty(x, window, x.atom(Atom::wmClientLeader), 4),
            requestProperty(x, window, x.atom(Atom::gtkFrameExtents), 16),
            requestProperty(x, window, x.atom(Atom::netWmState), 256),
        });
    }
    x.flush();
    std::vector<WindowFacts> result;
    result.reserve(windows.size());
    for (const auto& c : cookies) {
        WindowFacts known;
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(x.get(), c.attributes, nullptr));
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(x.get(), c.geometry, nullptr));
        const auto type = collectProperty(x, c.type);
        const auto transient = collectProperty(x, c.transient);
        Reply<xcb_get_property_reply_t> hints(xcb_get_property_reply(x.get(), c.hints, nullptr));
        const auto actions = collectProperty(x, c.actions);
        const auto role = collectProperty(x, c.role);
        const auto wmClass = collectProperty(x, c.wmClass);
        const auto pid = collectProperty(x, c.pid);
        const auto leader = collectProperty(x, c.leader);
        const auto extents = collectProperty(x, c.extents);
        const auto states = collectProperty(x, c.states);

        known.exists = attributes && geometry;
        if (known.exists) {
            known.overrideRedirect = attributes->override_redirect;
            const Size client{static_cast<double>(geometry->width),
                              static_cast<double>(geometry->height)};
            if (extents) {
                known.shadow = frameShadow(*extents, client).value_or(Size{0, 0});
            }
            known.size =
                Size{client.width - known.shadow.width, client.height - known.shadow.height};
            known.windowTypes = listOf(type);
            known.transient = firstOf(transient).has_value();
            known.normalHints = sizeHintsOf(hints);
            known.allowedActions = listIfSet(actions);
            known.states = listOf(states);
            known.role = textOf(role);
            known.wmClass = classOf(wmClass);
            known.pid = firstOf(pid);
            known.leader = firstOf(leader);
        }
        result.push_back(std::move(known));
    }
    x.repliesCollected();
    return result;
}

} // namespace nivu::x11
