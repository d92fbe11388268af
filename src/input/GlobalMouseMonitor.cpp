// Left-button drags and releases in other applications.
#include "input/GlobalMouseMonitor.h"

namespace nivu {

void GlobalMouseMonitor::start() {
    stop();
    // The event's own fields are not used: the location is read when the handler runs.
    dragMonitor_ = pointer_.monitorLeftDrags(anchor_.weakly([](GlobalMouseMonitor& self) {
        if (self.onMouseDragged) {
            self.onMouseDragged(self.pointer_.pointerLocation());
        }
    }));
    upMonitor_ = pointer_.monitorLeftUps(anchor_.weakly([](GlobalMouseMonitor& self) {
        if (self.onMouseUp) {
            self.onMouseUp();
        }
    }));
}

void GlobalMouseMonitor::stop() {
    dragMonitor_.reset();
    upMonitor_.reset();
}

} // namespace nivu
