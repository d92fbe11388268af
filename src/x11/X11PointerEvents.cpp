// Global pointer events through XInput 2 raw events.
#include "x11/X11PointerEvents.h"

#include <cstdlib>
#include <utility>
#include <xcb/xcbext.h>
#include <xcb/xinput.h>

namespace nivu::x11 {

namespace {
// A window is resized by its frame with the left button, or from inside with a modifier and
// the middle or the right button (marco and muffin: Alt, awesome and herbstluftwm: Super, with
// the right button): the badge follows, and the release ends the resize, for each of them.
constexpr std::uint16_t resizingButtons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
} // namespace

X11PointerEvents::X11PointerEvents(X11Connection& connection, ToDesktop toDesktop)
    : x_(connection)
    , toDesktop_(std::move(toDesktop)) {
    const auto* extension = xcb_get_extension_data(x_.get(), &xcb_input_id);
    if (!extension || !extension->present) {
        return;
    }
    // Raw events reach the root during another client's pointer grab (the window manager's
    // resize) from XInput 2.1 on.
    Reply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
        x_.get(), xcb_input_xi_query_version(x_.get(), 2, 2), nullptr));
    x_.repliesCollected();
    if (!version || (version->major_version == 2 && version->minor_version < 1)) {
        return;
    }
    opcode_ = extension->major_opcode;
    genericEvents_ = x_.onEvent(
        XCB_GE_GENERIC, [this](const xcb_generic_event_t& event) { handleGenericEvent(event); });
}

X11PointerEvents::~X11PointerEvents() {
    *alive_ = false;
}

std::optional<Subscription> X11PointerEvents::monitorLeftDrags(std::function<void()> handler) {
    return monitor(drags_, std::move(handler));
}

std::optional<Subscription> X11PointerEvents::monitorLeftUps(std::function<void()> handler) {
    return monitor(ups_, std::move(handler));
}

std::optional<Subscription> X11PointerEvents::monitor(Signal<>& signal,
                                                      std::function<void()> handler) {
    if (!available()) {
        return std::nullopt;
    }
    auto connection = std::make_shared<Subscription>(signal.connect(std::move(handler)));
    updateSelection();
    return Subscription([this, connection, alive = std::weak_ptr<bool>(alive_)] {
        connection->cancel();
        if (const auto live = alive.lock(); live && *live) {
            updateSelection();
        }
    });
}

void X11PointerEvents::updateSelection() {
    const bool wanted = drags_.connectionCount() + ups_.connectionCount() > 0;
    if (wanted == selected_ || x_.hasFailed()) {
        return;
    }
    selected_ = wanted;
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
           wanted ? std::uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_MOTION |
                                  XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE}
                  : 0u};
    xcb_input_xi_select_events(x_.get(), x_.root(), 1, &mask.head);
    x_.flush();
}

void X11PointerEvents::handleGenericEvent(const xcb_generic_event_t& generic) {
    const auto& event = reinterpret_cast<const xcb_ge_generic_event_t&>(generic);
    if (event.extension != opcode_) {
        return;
    }
    if (event.event_type == XCB_INPUT_RAW_MOTION && drags_.connectionCount() > 0) {
        const auto state = queryPointer();
        if (state && state->resizingButtonDown) {
            locationOfCurrentEvent_ = state->location;
            drags_.emit();
            locationOfCurrentEvent_.reset();
        }
    } else if (event.event_type == XCB_INPUT_RAW_BUTTON_RELEASE) {
        const auto& release =
            reinterpret_cast<const xcb_input_raw_button_release_event_t&>(generic);
        if (release.detail >= 1 && release.detail <= 3) {
            ups_.emit();
        }
    }
}

std::optional<X11PointerEvents::PointerState> X11PointerEvents::queryPointer() {
    const auto ahead = x_.takePointerQuery();
    Reply<xcb_query_pointer_reply_t> reply;
    bool answered = false;
    if (ahead) { // sent with the event's other requests: its reply is usually in already
        x_.flush();
        void* raw = nullptr;
        xcb_generic_error_t* error = nullptr;
        answered = xcb_poll_for_reply(x_.get(), ahead->sequence, &raw, &error) == 1;
        reply.reset(static_cast<xcb_query_pointer_reply_t*>(raw));
        std::free(error);
    }
    if (!answered) {
        const auto cookie = ahead ? *ahead : xcb_query_pointer(x_.get(), x_.root());
        reply.reset(xcb_query_pointer_reply(x_.get(), cookie, nullptr));
        x_.repliesCollected();
    }
    if (!reply) {
        return std::nullopt;
    }
    return PointerState{toDesktop_(reply->root_x, reply->root_y),
                        (reply->mask & resizingButtons) != 0};
}

Point X11PointerEvents::pointerLocation() {
    if (locationOfCurrentEvent_) {
        return *locationOfCurrentEvent_;
    }
    const auto state = queryPointer();
    return state ? state->location : Point{};
}

} // namespace nivu::x11
