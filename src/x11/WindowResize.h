// Asking the window manager for another program's window size: the visible size fitted to the
// work area of the window's monitor, the shadow of client-side decorations added, and the
// window taken out of its maximized or fullscreen state first.
#pragma once

#include "common/Geometry.h"
#include "x11/WindowFacts.h"
#include "x11/X11Connection.h"

namespace nivu::x11 {

// Reads what the fit needs in one round trip, then sends the request; the position stays.
void requestWindowSize(X11Connection& x, xcb_window_t window, Size visible,
                       const WindowFacts& facts);

} // namespace nivu::x11
