// Sizes and points in screen points (origin at the lower left of the screen, y up).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace nivu {

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle by its lower-left corner (y up) and its size.
struct Rect {
    Point origin;
    Size size;
    double right() const { return origin.x + size.width; }
    double top() const { return origin.y + size.height; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Nearest whole number, halves away from zero (799.5 -> 800, -0.5 -> -1). Values beyond the
// 64-bit range saturate and a non-number gives 0, so no input is undefined behaviour.
inline std::int64_t roundHalfAwayFromZero(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (value >= limit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (value <= -limit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(std::round(value));
}

} // namespace nivu
