// The window that has the keyboard focus, as the X server tells it.
#pragma once

#include "x11/X11Connection.h"

#include <cstdint>

namespace nivu::x11 {

// The focus window's id; 0 for none and 1 for PointerRoot, as in the protocol.
std::uint64_t inputFocus(X11Connection& connection);

} // namespace nivu::x11
