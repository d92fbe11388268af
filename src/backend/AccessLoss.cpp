// Telling the watcher that window access went away.
#include "backend/AccessLoss.h"

#include <utility>

namespace nivu::backend {

Subscription AccessLoss::watch(std::function<void()> onLost) {
    onLost_ = std::move(onLost);
    return Subscription(anchor_.weakly([](AccessLoss& self) { self.onLost_ = nullptr; }));
}

void AccessLoss::report() {
    if (auto onLost = std::exchange(onLost_, {})) {
        scheduler_.runAfter(Duration::zero(), anchor_.weakly([onLost](AccessLoss&) { onLost(); }));
    }
}

} // namespace nivu::backend
