// Nivu's own connection to the X server.
#include "x11/X11Connection.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace nivu::x11 {

namespace {
constexpr const char* atomNames[] = {
#define NIVU_ATOM_NAME(enumerator, name) name,
    NIVU_X11_ATOMS(NIVU_ATOM_NAME)
#undef NIVU_ATOM_NAME
};

// Why the connection failed, for the user. A display name such as ":0.5" may name a screen the
// server does not have.
std::string connectionProblem(xcb_connection_t* connection, const char* display, int screenNumber) {
    const char* name = display ? display : std::getenv("DISPLAY");
    if (!name || !*name) {
        return "no X display: DISPLAY is not set";
    }
    if (xcb_connection_has_error(connection) == XCB_CONN_CLOSED_INVALID_SCREEN) {
        return std::string("display ") + name + " has no screen " + std::to_string(screenNumber);
    }
    return std::string("cannot open display ") + name;
}
} // namespace

std::optional<std::string> X11Connection::displayProblem(const char* display) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display, &screenNumber);
    std::optional<std::string> problem;
    if (xcb_connection_has_error(connection)) {
        problem = connectionProblem(connection, display, screenNumber);
    }
    xcb_disconnect(connection);
    return problem;
}

X11Connection::X11Connection(const char* display, Scheduler& scheduler)
    : scheduler_(scheduler) {
    int screenNumber = 0;
    connection_ = xcb_connect(display, &screenNumber);
    if (xcb_connection_has_error(connection_)) {
        const auto problem = connectionProblem(connection_, display, screenNumber);
        xcb_disconnect(connection_);
        throw std::runtime_error(problem);
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    screen_ = screens.data;
    internAtoms();
    readableWatch_ =
        scheduler_.watchReadable(xcb_get_file_descriptor(connection_), [this] { drain(); });
}

X11Connection::~X11Connection() {
    *alive_ = false;
    readableWatch_.cancel();
    xcb_disconnect(connection_);
}

void X11Connection::internAtoms() {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const char* name : atomNames) {
        cookies.push_back(
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name));
    }
    for (const auto cookie : cookies) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr));
        atoms_.push_back(reply ? reply->atom : XCB_NONE);
    }
}

Subscription X11Connection::onEvent(std::uint8_t responseType,
                                    std::function<void(const xcb_generic_event_t&)> handler) {
    auto& signal = handlers_[responseType];
    if (!signal) {
        signal = std::make_unique<Signal<xcb_generic_event_t>>();
    }
    return signal->connect(std::move(handler));
}

Subscription X11Connection::onConnectionLost(std::function<void()> handler) {
    return connectionLost_.connect(std::move(handler));
}

void X11Connection::flush() {
    xcb_flush(connection_);
}

void X11Connection::repliesCollected() {
    ++roundTrips_;
    if (drainQueued_) {
        return;
    }
    drainQueued_ = true;
    scheduler_.runAfter(Duration::zero(), [this, alive = std::weak_ptr<bool>(alive_)] {
        if (const auto live = alive.lock(); live && *live) {
            drainQueued_ = false;
            drain();
        }
    });
}

void X11Connection::queryPointerAhead() {
    if (!pointerAhead_) {
        pointerAhead_ = xcb_query_pointer(connection_, root());
    }
}

void X11Connection::drain() {
    // Read what has come, then handle it; what comes meanwhile is the next batch.
    std::vector<Reply<xcb_generic_event_t>> batch;
    std::vector<const xcb_generic_event_t*> events;
    do {
        batch.clear();
        events.clear();
        while (auto* raw = xcb_poll_for_event(connection_)) {
            batch.emplace_back(raw);
            events.push_back(raw);
        }
        const auto superseded = supersededConfigureNotifies(events);
        for (std::size_t i = 0; i < events.size(); ++i) {
            // Errors of requests whose failure does not matter arrive here and are dropped.
            const std::uint8_t type = events[i]->response_type & 0x7f;
            if (type == 0 || superseded[i]) {
                continue;
            }
            if (const auto found = handlers_.find(type); found != handlers_.end()) {
                found->second->emit(*events[i]);
            }
            if (const auto unused = takePointerQuery()) {
                xcb_discard_reply(connection_, unused->sequence);
            }
        }
    } while (!events.empty());
    if (!failed_ && xcb_connection_has_error(connection_)) {
        failed_ = true;
        readableWatch_.cancel();
        connectionLost_.emit();
    }
    flush();
}

std::vector<bool>
supersededConfigureNotifies(const std::vector<const xcb_generic_event_t*>& batch) {
    std::vector<bool> superseded(batch.size());
    std::vector<std::pair<xcb_window_t, xcb_window_t>> newer; // (event, window) seen later
    for (std::size_t i = batch.size(); i-- > 0;) {
        if ((batch[i]->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY) {
            continue;
        }
        const auto& event = reinterpret_cast<const xcb_configure_notify_event_t&>(*batch[i]);
        const std::pair key{event.event, event.window};
        superseded[i] = std::ranges::find(newer, key) != newer.end();
        if (!superseded[i]) {
            newer.push_back(key);
        }
    }
    return superseded;
}

xcb_get_property_cookie_t requestProperty(const X11Connection& x, xcb_window_t window,
                                          xcb_atom_t property, std::uint32_t maxBytes) {
    return xcb_get_property(x.get(), 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                            (maxBytes + 3) / 4);
}

std::optional<PropertyValue> collectProperty(const X11Connection& x,
                                             xcb_get_property_cookie_t cookie) {
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(x.get(), cookie, nullptr));
    if (!reply || reply->type == XCB_NONE ||
        (reply->format != 8 && reply->format != 16 && reply->format != 32)) {
        return std::nullopt;
    }
    const auto length = xcb_get_property_value_length(reply.get());
    PropertyValue value{reply->type, reply->format, {}};
    if (length > 0) {
        value.bytes.assign(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           static_cast<std::size_t>(length));
    }
    return value;
}

std::vector<std::uint32_t> collectCardinals(const X11Connection& x,
                                            xcb_get_property_cookie_t cookie) {
    const auto value = collectProperty(x, cookie);
    return value ? cardinals(*value) : std::vector<std::uint32_t>{};
}

std::vector<std::uint32_t> cardinals(const PropertyValue& value) {
    std::vector<std::uint32_t> items;
    if (value.format != 32) {
        return items;
    }
    items.resize(value.bytes.size() / 4);
    std::memcpy(items.data(), value.bytes.data(), items.size() * 4);
    return items;
}

} // namespace nivu::x11
