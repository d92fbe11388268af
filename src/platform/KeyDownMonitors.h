// Key presses that reach Nivu's own windows, seen before any control gets them.
#pragma once

#include "common/Modifiers.h"
#include "common/Signal.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace nivu {

struct KeyDownEvent {
    std::uint16_t keyCode = 0;               // virtual key code (key position)
    Modifiers modifiers;                     // those held, of the four a shortcut can have
    std::string charactersIgnoringModifiers; // empty when the key produces no characters
};

class KeyDownMonitors {
public:
    KeyDownMonitors() = default;
    KeyDownMonitors(const KeyDownMonitors&) = delete;
    KeyDownMonitors& operator=(const KeyDownMonitors&) = delete;
    virtual ~KeyDownMonitors() = default;

    // Calls handler for every key press in Nivu's windows until the subscription ends; the
    // handler returns true to swallow the press. Nothing when no monitor can be installed.
    virtual std::optional<Subscription>
    addLocalKeyDownMonitor(std::function<bool(const KeyDownEvent&)> handler) = 0;
};

} // namespace nivu
