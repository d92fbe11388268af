// What the sessions of compositors that run Nivu's side inside them share (Plasma's and
// GNOME's Wayland sessions): the pointer and hot keys as that side reports them, made when
// first asked for, and Nivu's own windows placed by it.
#pragma once

#include "bridge/BridgeHotKeys.h"
#include "bridge/BridgePointerEvents.h"
#include "bridge/ScriptBridge.h"
#include "session/DesktopSession.h"

namespace nivu {

class BridgeSession : public DesktopSession {
public:
    PointerEvents& pointer() override;
    HotKeyPlatform& hotKeys() override;
    bool compositing() override { return true; } // Wayland compositors composite always
    std::function<std::uint64_t()> keyboardFocus() override { return {}; }
    WindowPlacer windowPlacer() override;
    // The session-bus name was taken when the session opened.
    bool claim(std::function<void()>, std::string&) override { return true; }
    // The compositor going away is lost window access, which the desktop reports itself.
    Subscription observeDisplayLoss(std::function<void(const std::string&)>) override { return {}; }

protected:
    BridgeSession(bridge::ScriptBridge& bridge, bridge::BridgeHotKeys::Notation notation);
    ~BridgeSession() override;

private:
    bridge::ScriptBridge& bridge_;
    bridge::BridgeHotKeys::Notation notation_;
    std::unique_ptr<bridge::BridgePointerEvents> pointer_;
    std::unique_ptr<bridge::BridgeHotKeys> hotKeys_;
};

} // namespace nivu
