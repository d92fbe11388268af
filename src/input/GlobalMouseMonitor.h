// Left-button drags and releases in other applications, reported only while started (during a
// live resize).
#pragma once

#include "common/WeakAnchor.h"
#include "platform/PointerEvents.h"

#include <functional>
#include <optional>

namespace nivu {

class GlobalMouseMonitor {
public:
    explicit GlobalMouseMonitor(PointerEvents& pointer)
        : pointer_(pointer) {}
    GlobalMouseMonitor(const GlobalMouseMonitor&) = delete;
    GlobalMouseMonitor& operator=(const GlobalMouseMonitor&) = delete;
    ~GlobalMouseMonitor() { stop(); }

    // Installs both monitors, replacing any that are installed.
    void start();
    // Removes both monitors; safe when none is installed.
    void stop();

    // Called with the pointer location at the moment of each drag.
    std::function<void(Point)> onMouseDragged;
    std::function<void()> onMouseUp;

private:
    PointerEvents& pointer_;
    std::optional<Subscription> dragMonitor_;
    std::optional<Subscription> upMonitor_;
    WeakAnchor<GlobalMouseMonitor> anchor_{this};
};

} // namespace nivu
