// System-wide hot keys as passive key grabs on the root window.
#include "x11/X11HotKeys.h"

#include "common/Warning.h"

#include <algorithm>
#include <utility>

namespace nivu::x11 {

namespace {
constexpr std::uint16_t relevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
constexpr int evdevNumLock = 69;
constexpr int evdevToX = 8;

xcb_keycode_t keycodeOf(const backend::KeyCombination& combination) {
    return static_cast<xcb_keycode_t>(combination.evdevCode + evdevToX);
}
} // namespace

X11HotKeys::X11HotKeys(X11Connection& connection)
    : x_(connection) {
    numLock_ = numLockMask();
}

X11HotKeys::~X11HotKeys() {
    if (!x_.hasFailed()) {
        for (const auto& [number, registration] : registrations()) {
            if (registration.held) {
                ungrabVariants(registration.combination);
            }
        }
        x_.flush();
    }
}

std::uint16_t X11HotKeys::xModifiers(Modifiers modifiers) {
    return (modifiers.has(Modifier::command) ? XCB_MOD_MASK_4 : 0) |
           (modifiers.has(Modifier::shift) ? XCB_MOD_MASK_SHIFT : 0) |
           (modifiers.has(Modifier::option) ? XCB_MOD_MASK_1 : 0) |
           (modifiers.has(Modifier::control) ? XCB_MOD_MASK_CONTROL : 0);
}

bool X11HotKeys::installEventHandler(std::function<void(HotKeyIdentifier)> handler) {
    HotKeyBase::installEventHandler(std::move(handler));
    subscriptions_.push_back(x_.onEvent(
        XCB_KEY_PRESS, [this](const xcb_generic_event_t& event) { handleKeyPress(event); }));
    subscriptions_.push_back(
        x_.onEvent(XCB_MAPPING_NOTIFY, [this](const auto& event) { handleMappingNotify(event); }));
    return true;
}

bool X11HotKeys::grab(Number, const backend::KeyCombination& combination) {
    return grabVariants(combination);
}

void X11HotKeys::release(Number, const backend::KeyCombination& combination) {
    if (!x_.hasFailed()) {
        ungrabVariants(combination);
        x_.flush();
    }
}

std::uint16_t X11HotKeys::numLockMask() {
    Reply<xcb_get_modifier_mapping_reply_t> reply(
        xcb_get_modifier_mapping_reply(x_.get(), xcb_get_modifier_mapping(x_.get()), nullptr));
    x_.repliesCollected();
    if (!reply) {
        return 0;
    }
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (keycodes[modifier * perModifier + i] == evdevNumLock + evdevToX) {
                return static_cast<std::uint16_t>(1u << modifier);
            }
        }
    }
    return 0;
}

std::vector<std::uint16_t> X11HotKeys::lockVariants() const {
    std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (numLock_ != 0) {
        variants.push_back(numLock_);
        variants.push_back(static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock_));
    }
    return variants;
}

bool X11HotKeys::grabVariants(const backend::KeyCombination& combination) {
    std::vector<xcb_void_cookie_t> cookies;
    for (const auto lock : lockVariants()) {
        cookies.push_back(
            xcb_grab_key_checked(x_.get(), 1, x_.root(), xModifiers(combination.modifiers) | lock,
                                 keycodeOf(combination), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool refused = false;
    for (const auto cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(x_.get(), cookie)) {
            refused = true;
            std::free(error);
        }
    }
    x_.repliesCollected();
    if (refused) {
        ungrabVariants(combination); // the variants that did succeed
        x_.flush();
    }
    return !refused;
}

void X11HotKeys::ungrabVariants(const backend::KeyCombination& combination) {
    for (const auto lock : lockVariants()) {
        xcb_ungrab_key(x_.get(), keycodeOf(combination), x_.root(),
                       xModifiers(combination.modifiers) | lock);
    }
}

void X11HotKeys::handleKeyPress(const xcb_generic_event_t& generic) {
    const auto& event = reinterpret_cast<const xcb_key_press_event_t&>(generic);
    const std::uint16_t modifiers = event.state & relevantModifiers;
    const auto& all = registrations();
    const auto found = std::ranges::find_if(all, [&](const auto& entry) {
        const auto& [number, registration] = entry;
        return registration.held && keycodeOf(registration.combination) == event.detail &&
               xModifiers(registration.combination.modifiers) == modifiers;
    });
    if (found == all.end()) {
        return;
    }
    // The key press activated our passive grab of the keyboard; release it so that a menu
    // opened by the action receives keys while the combination is still held.
    xcb_ungrab_keyboard(x_.get(), event.time);
    x_.flush();
    pressed(found->first);
}

void X11HotKeys::handleMappingNotify(const xcb_generic_event_t& generic) {
    const auto& event = reinterpret_cast<const xcb_mapping_notify_event_t&>(generic);
    if (event.request == XCB_MAPPING_POINTER) {
        return;
    }
    // Key positions do not move, but the Num Lock modifier may: then every variant is grabbed
    // anew. Otherwise the grabs stay, as a key pressed in between would be lost (tools such as
    // xdotool change the mapping around every key they type).
    const std::uint16_t numLock = numLockMask();
    const bool locksMoved = numLock != numLock_;
    if (locksMoved) {
        for (const auto& [number, registration] : registrations()) {
            if (registration.held) {
                ungrabVariants(registration.combination);
            }
        }
        numLock_ = numLock;
    }
    // A grab lost in an earlier change is tried again too: the other program may be gone.
    std::vector<std::pair<HotKeyIdentifier, bool>> changes;
    for (auto& [number, registration] : registrations()) {
        if (!locksMoved && registration.held) {
            continue;
        }
        const bool wasHeld =
            std::exchange(registration.held, grabVariants(registration.combination));
        if (wasHeld && !registration.held) {
            warn("after a keyboard change another program holds a shortcut of Nivu's; "
                 "record it again in the settings");
        }
        if (wasHeld != registration.held) {
            changes.emplace_back(registration.identifier, registration.held);
        }
    }
    x_.flush();
    announceHolding(changes);
}

} // namespace nivu::x11
