// Telling the watcher that window access went away.
#include "backend/AccessLoss.h"

#include <utility>

namespace nivu::backend {

Subscription AccessLoss::watch(std::function<void()> onLost) {
    onLost_ = std::move(onLost);
    return Subscription([this, alive = std::weak_ptr<bool>(alive_)] {
        if (const auto live = alive.lock(); live && *live) {
            onLost_ = nullptr;
        }
    });
}

void AccessLoss::report() {
    if (auto onLost = std::exchange(onLost_, {})) {
        scheduler_.runAfter(Duration::zero(), [onLost, alive = std::weak_ptr<bool>(alive_)] {
            if (const auto live = alive.lock(); live && *live) {
                onLost();
            }
        });
    }
}

} // namespace nivu::backend
