// The pointer as the compositor side reports it: each step of an interactive move or resize is
// a drag, its end is the release, and the last reported position is the pointer's location.
#pragma once

#include "bridge/ScriptBridge.h"
#include "platform/PointerEvents.h"

namespace nivu::bridge {

class BridgePointerEvents final : public PointerEvents {
public:
    // toDesktop maps a point of the compositor's (logical, y down) to the desktop's coordinates.
    using ToDesktop = std::function<Point(double x, double y)>;
    BridgePointerEvents(ScriptBridge& bridge, ToDesktop toDesktop);

    std::optional<Subscription> monitorLeftDrags(std::function<void()> handler) override;
    std::optional<Subscription> monitorLeftUps(std::function<void()> handler) override;
    Point pointerLocation() override;

private:
    ScriptBridge& bridge_;
    ToDesktop toDesktop_;
    Signal<> drags_;
    Signal<> ups_;
    Subscription reports_;
};

} // namespace nivu::bridge
