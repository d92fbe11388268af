// The pointer from the compositor side's reports.
#include "bridge/BridgePointerEvents.h"

namespace nivu::bridge {

BridgePointerEvents::BridgePointerEvents(ScriptBridge& bridge, ToDesktop toDesktop)
    : bridge_(bridge)
    , toDesktop_(std::move(toDesktop))
    , reports_(bridge.reports.connect([this](const Report& report) {
        if (const auto* pointer = std::get_if<PointerReport>(&report)) {
            (pointer->released ? ups_ : drags_).emit();
        }
    })) {}

Point BridgePointerEvents::pointerLocation() {
    const auto [x, y] = bridge_.cursor();
    return toDesktop_(x, y);
}

std::optional<Subscription> BridgePointerEvents::monitorLeftDrags(std::function<void()> handler) {
    return drags_.connect(std::move(handler));
}

std::optional<Subscription> BridgePointerEvents::monitorLeftUps(std::function<void()> handler) {
    return ups_.connect(std::move(handler));
}

} // namespace nivu::bridge
