// The largest size a window may be given.
#include "x11/WorkArea.h"

#include <algorithm>

namespace nivu::x11 {

Size fitInWorkArea(Size visible, const std::vector<std::uint32_t>& workAreas,
                   std::uint32_t currentDesktop, const std::vector<std::uint32_t>& frame) {
    const std::size_t first = std::size_t{currentDesktop} * 4;
    if (first + 4 > workAreas.size()) {
        return visible;
    }
    const double areaWidth = workAreas[first + 2];
    const double areaHeight = workAreas[first + 3];
    const bool framed = frame.size() == 4;
    const double frameWidth = framed ? static_cast<double>(frame[0]) + frame[1] : 0;
    const double frameHeight = framed ? static_cast<double>(frame[2]) + frame[3] : 0;
    return {std::min(visible.width, std::max(1.0, areaWidth - frameWidth)),
            std::min(visible.height, std::max(1.0, areaHeight - frameHeight))};
}

} // namespace nivu::x11
