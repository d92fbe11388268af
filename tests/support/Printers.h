// Readable gtest output for the core's value types.
#pragma once

#include "common/Geometry.h"
#include "input/ShortcutSpec.h"

#include <ostream>

namespace nivu {

inline void PrintTo(const ShortcutSpec& spec, std::ostream* out) {
    *out << "ShortcutSpec{" << spec.keyCode << ", 0x" << std::hex << spec.carbonModifiers
         << std::dec << ", \"" << spec.displayString << "\"}";
}

inline void PrintTo(const Size& size, std::ostream* out) {
    *out << size.width << " x " << size.height;
}

inline void PrintTo(const Point& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}

} // namespace nivu
