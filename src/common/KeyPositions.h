// Key positions: the virtual key codes that shortcuts store, and the Linux evdev codes of the
// same physical keys (an X keycode is the evdev code + 8).
#pragma once

#include <cstdint>
#include <optional>

namespace nivu {

std::optional<int> evdevCodeForVirtualKey(std::uint16_t virtualKeyCode);
std::optional<std::uint16_t> virtualKeyForEvdevCode(int evdevCode);

} // namespace nivu
