// Global pointer events of other applications and the pointer location.
#pragma once

#include "common/Geometry.h"
#include "common/Signal.h"

#include <functional>
#include <optional>

namespace nivu {

class PointerEvents {
public:
    PointerEvents() = default;
    PointerEvents(const PointerEvents&) = delete;
    PointerEvents& operator=(const PointerEvents&) = delete;
    virtual ~PointerEvents() = default;

    // Calls handler on the main loop for each motion with the left button held; nothing when
    // the desktop cannot monitor the pointer. The monitor ends with the subscription.
    virtual std::optional<Subscription> monitorLeftDrags(std::function<void()> handler) = 0;
    // The same for each release of the left button.
    virtual std::optional<Subscription> monitorLeftUps(std::function<void()> handler) = 0;
    // The pointer's position in screen coordinates (origin at the lower left, y up); the origin
    // when it cannot be read.
    virtual Point pointerLocation() = 0;
};

} // namespace nivu
