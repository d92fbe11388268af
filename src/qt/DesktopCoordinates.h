// The one mapping between X's pixels and the desktop's points: the core counts logical pixels
// (Qt's, after the screen's scale) up from the bottom of the desktop; X counts physical pixels
// down from the top of the root window.
#pragma once

#include "common/Geometry.h"

#include <QPoint>

namespace nivu {

// A point of the X root window, as the core counts it.
Point desktopPointFromX(int x, int y);

// A point in Qt's logical coordinates (a Wayland compositor's, y down), as the core counts it.
Point desktopPointFromLogical(double x, double y);

// A point of the core, as Qt's window positions count it.
QPoint qtPointFromDesktop(Point point);

} // namespace nivu
