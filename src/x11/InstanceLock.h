// One nivu per display: the running one owns an X selection, which the server releases when
// its connection closes, however the process ends.
#pragma once

#include "x11/X11Connection.h"

namespace nivu::x11 {

class InstanceLock {
public:
    explicit InstanceLock(X11Connection& connection)
        : x_(connection) {}
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // True when this process now owns the display's selection; false when another one does.
    bool acquire();

    // Called if another process takes the selection after all (two started at the same moment).
    std::function<void()> onLost;

private:
    X11Connection& x_;
    xcb_window_t owner_ = XCB_NONE;
    xcb_atom_t selection_ = XCB_NONE;
    Subscription clears_;
};

} // namespace nivu::x11
