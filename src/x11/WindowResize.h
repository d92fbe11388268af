// Asking the window manager for another program's window size: the visible size fitted to the
// work area of the window's monitor, the shadow of client-side decorations added, the window
// moved just far enough to lie inside the work area where it would not, and taken out of its
// maximized or fullscreen state first. Read, then computed, then sent.
#pragma once

#include "common/Geometry.h"
#include "x11/WindowFacts.h"
#include "x11/WorkArea.h"
#include "x11/X11Connection.h"

#include <optional>
#include <utility>

namespace nivu::x11 {

// What a request is computed from, as read from the server.
struct ResizeInputs {
    Size visible;                      // the size wanted, as the user sees the window
    Size shadow;                       // drawn by the client around what the user sees
    std::optional<PixelRect> client;   // the client window on the root now
    std::optional<PixelRect> workArea; // of the window's monitor
    std::vector<std::uint32_t> frame;  // _NET_FRAME_EXTENTS: left, right, top, bottom
};

// What is asked of the window manager.
struct ResizePlan {
    std::uint32_t width = 0; // the client window's, shadow included
    std::uint32_t height = 0;
    // Where the frame's top left goes; nothing where the window lies inside the work area at
    // the new size where it is.
    std::optional<std::pair<std::int32_t, std::int32_t>> frameOrigin;
    friend bool operator==(const ResizePlan&, const ResizePlan&) = default;
};

// Nothing for a size that X cannot express.
std::optional<ResizePlan> planResize(const ResizeInputs& inputs);

// Reads what the plan needs in one round trip, then sends it as _NET_MOVERESIZE_WINDOW (or as
// a configure request where the window manager does not support that). Returns the plan sent
// as _NET_MOVERESIZE_WINDOW, which configureWindow can ask again; nothing otherwise.
std::optional<ResizePlan> requestWindowSize(X11Connection& x, xcb_window_t window, Size visible,
                                            const WindowFacts& facts);

// The plan as a plain configure request, for a window manager that lists
// _NET_MOVERESIZE_WINDOW but ignores it.
void configureWindow(X11Connection& x, xcb_window_t window, const ResizePlan& plan);

} // namespace nivu::x11
