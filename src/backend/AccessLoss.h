// The one watcher of window access going away, shared by the desktop backends: told once, on
// the main loop, unless its subscription ended first.
#pragma once

#include "common/Signal.h"
#include "common/WeakAnchor.h"
#include "platform/Scheduler.h"

#include <functional>

namespace nivu::backend {

class AccessLoss {
public:
    explicit AccessLoss(Scheduler& scheduler)
        : scheduler_(scheduler) {}
    AccessLoss(const AccessLoss&) = delete;
    AccessLoss& operator=(const AccessLoss&) = delete;

    // Replaces the watcher; it is no longer told once the subscription ends.
    [[nodiscard]] Subscription watch(std::function<void()> onLost);
    // Access is gone: the watcher, if any, is told soon, and only this once.
    void report();

private:
    Scheduler& scheduler_;
    std::function<void()> onLost_;
    WeakAnchor<AccessLoss> anchor_{this};
};

} // namespace nivu::backend
