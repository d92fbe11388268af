// The largest size a window may be given: what fits, frame included, in the work area of the
// current desktop (_NET_WORKAREA: the screen less panels and docks).
#pragma once

#include "common/Geometry.h"

#include <cstdint>
#include <vector>

namespace nivu::x11 {

// The visible size, shrunk where it would not fit. workAreas holds x, y, width, height per
// desktop; frame holds _NET_FRAME_EXTENTS (left, right, top, bottom). Without a work area for
// the desktop the size is kept.
Size fitInWorkArea(Size visible, const std::vector<std::uint32_t>& workAreas,
                   std::uint32_t currentDesktop, const std::vector<std::uint32_t>& frame);

} // namespace nivu::x11
