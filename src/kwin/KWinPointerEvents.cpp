// The pointer from the script's reports.
#include "kwin/KWinPointerEvents.h"

namespace nivu::kwin {

KWinPointerEvents::KWinPointerEvents(ScriptBridge& bridge, ToDesktop toDesktop)
    : toDesktop_(std::move(toDesktop))
    , reports_(bridge.reports.connect([this](const ScriptReport& report) { follow(report); })) {}

void KWinPointerEvents::follow(const ScriptReport& report) {
    if (report.cursor) {
        location_ = toDesktop_(report.cursor->first, report.cursor->second);
    }
    if (report.kind == ScriptReport::Kind::drag) {
        drags_.emit();
    } else if (report.kind == ScriptReport::Kind::up) {
        ups_.emit();
    }
}

std::optional<Subscription> KWinPointerEvents::monitorLeftDrags(std::function<void()> handler) {
    return drags_.connect(std::move(handler));
}

std::optional<Subscription> KWinPointerEvents::monitorLeftUps(std::function<void()> handler) {
    return ups_.connect(std::move(handler));
}

} // namespace nivu::kwin
