// System-wide key combinations: registration and the press events of registered ones.
#pragma once

#include "common/Modifiers.h"
#include "common/Signal.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace nivu {

// The identifier a combination is registered under: a four-character signature and an id.
struct HotKeyIdentifier {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    friend bool operator==(const HotKeyIdentifier&, const HotKeyIdentifier&) = default;
};

// A registration; the platform keeps it until unregisterHotKey.
class HotKeyHandle {
public:
    HotKeyHandle() = default;
    HotKeyHandle(const HotKeyHandle&) = delete;
    HotKeyHandle& operator=(const HotKeyHandle&) = delete;
    virtual ~HotKeyHandle() = default;
};

class HotKeyPlatform {
public:
    HotKeyPlatform() = default;
    HotKeyPlatform(const HotKeyPlatform&) = delete;
    HotKeyPlatform& operator=(const HotKeyPlatform&) = delete;
    virtual ~HotKeyPlatform() = default;

    // Installs the application's one handler for presses of registered combinations, called on
    // the main loop; false when it cannot be installed.
    virtual bool installEventHandler(std::function<void(HotKeyIdentifier)> handler) = 0;
    // Registers the combination (a virtual key code and its modifiers); nullptr when the platform
    // refuses it (taken by another program, by the window manager, or by Nivu).
    virtual std::unique_ptr<HotKeyHandle> registerHotKey(std::uint32_t keyCode, Modifiers modifiers,
                                                         HotKeyIdentifier identifier) = 0;
    // Releases a registration; the combination is free for others at once.
    virtual void unregisterHotKey(std::unique_ptr<HotKeyHandle> handle) = 0;
    // Calls onChange when the platform stops or again starts holding a registration (on X11:
    // after a keyboard change another program's grab collides with it, or no longer does). A
    // platform whose registrations never change declines with an empty subscription.
    [[nodiscard]] virtual Subscription
    observeHolding(std::function<void(HotKeyIdentifier, bool held)> onChange) {
        (void)onChange;
        return {};
    }
};

} // namespace nivu
