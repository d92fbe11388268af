// Readable gtest output for the core's value types.
#pragma once

#include "common/Geometry.h"
#include "input/ShortcutSpec.h"

#include <ostream>

namespace nivu {

inline void PrintTo(const ShortcutSpec& shortcut, std::ostream* out) {
    *out << "ShortcutSpec{" << shortcut.keyCode << ", 0x" << std::hex << shortcut.carbonModifiers
         << std::dec << ", \"" << shortcut.displayString << "\"}";
}

inline void PrintTo(const Size& size, std::ostream* out) {
    *out << size.width << " x " << size.height;
}

inline void PrintTo(const Point& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}

} // namespace nivu
