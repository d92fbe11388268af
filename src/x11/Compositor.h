// Whether a compositing manager runs on the screen (then translucent windows are translucent).
#pragma once

#include "x11/X11Connection.h"

namespace nivu::x11 {

bool compositorRunning(X11Connection& connection);

} // namespace nivu::x11
