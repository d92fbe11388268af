// The largest size a window may be given: what fits, frame included, in the work area of the
// monitor it is on (_NET_WORKAREA, the screen less panels and docks, cut to that monitor).
#pragma once

#include "common/Geometry.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace nivu::x11 {

// A rectangle in root-window pixels.
struct PixelRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The area a window at centre may fill: the monitor holding the centre (else the nearest),
// cut to the current desktop's work area where the window manager publishes one. workAreas
// holds x, y, width, height per desktop. Nothing without monitors.
std::optional<PixelRect> workAreaAt(std::int32_t centreX, std::int32_t centreY,
                                    const std::vector<PixelRect>& monitors,
                                    const std::vector<std::uint32_t>& workAreas,
                                    std::uint32_t currentDesktop);

// The visible size, shrunk where it would not fit in the area with the frame (_NET_FRAME_EXTENTS:
// left, right, top, bottom). Without an area the size is kept.
Size fitInWorkArea(Size visible, std::optional<PixelRect> area,
                   const std::vector<std::uint32_t>& frame);

} // namespace nivu::x11
