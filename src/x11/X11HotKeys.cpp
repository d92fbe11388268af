// System-wide hot keys as passive key grabs on the root window.
#include "x11/X11HotKeys.h"

#include "common/KeyPositions.h"
#include "common/Warning.h"

#include <algorithm>
#include <utility>

namespace nivu::x11 {

namespace {
constexpr std::uint16_t relevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
constexpr int evdevNumLock = 69;
constexpr int evdevToX = 8;
} // namespace

class X11HotKeys::Handle final : public HotKeyHandle {
public:
    explicit Handle(std::list<Grab>::iterator grab)
        : grab(grab) {}
    const std::list<Grab>::iterator grab;
};

X11HotKeys::X11HotKeys(X11Connection& connection)
    : x_(connection) {
    numLock_ = numLockMask();
}

X11HotKeys::~X11HotKeys() {
    if (!x_.hasFailed()) {
        for (const auto& grab : grabs_) {
            if (grab.held) {
                ungrab(grab);
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
    handler_ = std::move(handler);
    subscriptions_.push_back(x_.onEvent(
        XCB_KEY_PRESS, [this](const xcb_generic_event_t& event) { handleKeyPress(event); }));
    subscriptions_.push_back(
        x_.onEvent(XCB_MAPPING_NOTIFY, [this](const auto& event) { handleMappingNotify(event); }));
    return true;
}

std::unique_ptr<HotKeyHandle> X11HotKeys::registerHotKey(std::uint32_t keyCode, Modifiers modifiers,
                                                         HotKeyIdentifier identifier) {
    const auto evdev = keyCode <= 0xFFFF
                           ? evdevCodeForVirtualKey(static_cast<std::uint16_t>(keyCode))
                           : std::nullopt;
    const std::uint16_t xMods = xModifiers(modifiers);
    // A key without modifiers would be taken from every program: never grabbed.
    if (!evdev || xMods == 0) {
        return nullptr;
    }
    const Grab wanted{static_cast<xcb_keycode_t>(*evdev + evdevToX), xMods, identifier};
    const bool held = std::any_of(grabs_.begin(), grabs_.end(), [&](const Grab& grab) {
        return grab.held && grab.keycode == wanted.keycode && grab.modifiers == wanted.modifiers;
    });
    if (held || !grab(wanted)) {
        return nullptr;
    }
    grabs_.push_back(wanted);
    return std::make_unique<Handle>(std::prev(grabs_.end()));
}

void X11HotKeys::unregisterHotKey(std::unique_ptr<HotKeyHandle> handle) {
    auto* ours = dynamic_cast<Handle*>(handle.get());
    if (!ours) {
        return;
    }
    if (ours->grab->held && !x_.hasFailed()) {
        ungrab(*ours->grab);
        x_.flush();
    }
    grabs_.erase(ours->grab);
}

Subscription X11HotKeys::observeHolding(std::function<void(HotKeyIdentifier, bool)> onChange) {
    return holdingChanged_.connect(std::move(onChange));
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

bool X11HotKeys::grab(const Grab& grab) {
    std::vector<xcb_void_cookie_t> cookies;
    for (const auto lock : lockVariants()) {
        cookies.push_back(xcb_grab_key_checked(x_.get(), 1, x_.root(), grab.modifiers | lock,
                                               grab.keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
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
        ungrab(grab); // the variants that did succeed
        x_.flush();
    }
    return !refused;
}

void X11HotKeys::ungrab(const Grab& grab) {
    for (const auto lock : lockVariants()) {
        xcb_ungrab_key(x_.get(), grab.keycode, x_.root(), grab.modifiers | lock);
    }
}

void X11HotKeys::handleKeyPress(const xcb_generic_event_t& generic) {
    const auto& event = reinterpret_cast<const xcb_key_press_event_t&>(generic);
    const std::uint16_t modifiers = event.state & relevantModifiers;
    const auto found = std::find_if(grabs_.begin(), grabs_.end(), [&](const Grab& grab) {
        return grab.held && grab.keycode == event.detail && grab.modifiers == modifiers;
    });
    if (found == grabs_.end() || !handler_) {
        return;
    }
    // The key press activated our passive grab of the keyboard; release it so that a menu
    // opened by the action receives keys while the combination is still held.
    xcb_ungrab_keyboard(x_.get(), event.time);
    x_.flush();
    handler_(found->identifier);
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
        for (const auto& grab : grabs_) {
            if (grab.held) {
                ungrab(grab);
            }
        }
        numLock_ = numLock;
    }
    // A grab lost in an earlier change is tried again too: the other program may be gone.
    std::vector<std::pair<HotKeyIdentifier, bool>> changes;
    for (auto& grab : grabs_) {
        if (!locksMoved && grab.held) {
            continue;
        }
        const bool wasHeld = std::exchange(grab.held, this->grab(grab));
        if (wasHeld && !grab.held) {
            warn("after a keyboard change another program holds a shortcut of Nivu's; "
                 "record it again in the settings");
        }
        if (wasHeld != grab.held) {
            changes.emplace_back(grab.identifier, grab.held);
        }
    }
    x_.flush();
    for (const auto& [identifier, held] : changes) { // listeners may register or unregister
        holdingChanged_.emit(identifier, held);
    }
}

} // namespace nivu::x11
