// The largest size a window may be given.
#include "x11/WorkArea.h"

#include <algorithm>
#include <cmath>

namespace nivu::x11 {

namespace {
std::int64_t distanceSquared(const PixelRect& r, std::int64_t x, std::int64_t y) {
    const std::int64_t dx = std::max<std::int64_t>({r.x - x, 0, x - (r.x + r.width - 1)});
    const std::int64_t dy = std::max<std::int64_t>({r.y - y, 0, y - (r.y + r.height - 1)});
    return dx * dx + dy * dy;
}
} // namespace

std::optional<PixelRect> workAreaAt(std::int32_t centreX, std::int32_t centreY,
                                    const std::vector<PixelRect>& monitors,
                                    const std::vector<std::uint32_t>& workAreas,
                                    std::uint32_t currentDesktop) {
    if (monitors.empty()) {
        return std::nullopt;
    }
    PixelRect area = *std::ranges::min_element(
        monitors, {}, [&](const PixelRect& m) { return distanceSquared(m, centreX, centreY); });
    const std::size_t first = std::size_t{currentDesktop} * 4;
    if (first + 4 <= workAreas.size()) {
        const std::int64_t left = std::max<std::int64_t>(area.x, workAreas[first]);
        const std::int64_t top = std::max<std::int64_t>(area.y, workAreas[first + 1]);
        const std::int64_t right =
            std::min<std::int64_t>(std::int64_t{area.x} + area.width,
                                   std::int64_t{workAreas[first]} + workAreas[first + 2]);
        const std::int64_t bottom =
            std::min<std::int64_t>(std::int64_t{area.y} + area.height,
                                   std::int64_t{workAreas[first + 1]} + workAreas[first + 3]);
        if (right > left && bottom > top) { // else a work area of other monitors only: ignored
            area = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                    static_cast<std::int32_t>(right - left),
                    static_cast<std::int32_t>(bottom - top)};
        }
    }
    return area;
}

Size fitInWorkArea(Size visible, std::optional<PixelRect> area,
                   const std::vector<std::uint32_t>& frame) {
    if (!area) {
        return visible;
    }
    const bool framed = frame.size() == 4;
    const double frameWidth = framed ? static_cast<double>(frame[0]) + frame[1] : 0;
    const double frameHeight = framed ? static_cast<double>(frame[2]) + frame[3] : 0;
    return {std::min(visible.width, std::max(1.0, area->width - frameWidth)),
            std::min(visible.height, std::max(1.0, area->height - frameHeight))};
}

} // namespace nivu::x11
