// The pointer as KWin's script reports it: each step of an interactive move or resize is a
// drag, its end is the release, and the last reported position is the pointer's location.
#pragma once

#include "kwin/ScriptBridge.h"
#include "platform/PointerEvents.h"

namespace nivu::kwin {

class KWinPointerEvents final : public PointerEvents {
public:
    // toDesktop maps a point of KWin's (logical, y down) to the desktop's coordinates.
    using ToDesktop = std::function<Point(double x, double y)>;
    KWinPointerEvents(ScriptBridge& bridge, ToDesktop toDesktop);

    std::optional<Subscription> monitorLeftDrags(std::function<void()> handler) override;
    std::optional<Subscription> monitorLeftUps(std::function<void()> handler) override;
    Point pointerLocation() override { return location_; }

private:
    // Where the pointer was last reported, for a report that carries it.
    void follow(const ScriptReport& report);

    ToDesktop toDesktop_;
    Point location_;
    Signal<> drags_;
    Signal<> ups_;
    Subscription reports_;
};

} // namespace nivu::kwin
