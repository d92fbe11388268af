// The one mapping between X's pixels and the desktop's points.
#include "qt/DesktopCoordinates.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace nivu {

namespace {
// The bottom of the desktop in Qt's coordinates, where the core's y is 0.
int desktopBottom() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().y() + screen->virtualGeometry().height() : 0;
}
} // namespace

Point desktopPointFromX(int x, int y) {
    QPointF logical(x, y);
    // Qt keeps each screen's origin in X's pixels and scales what lies beyond it.
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect geometry = screen->geometry();
        const double ratio = screen->devicePixelRatio();
        const QRectF physical(geometry.topLeft(), QSizeF(geometry.size()) * ratio);
        if (physical.contains(x, y)) {
            logical = QPointF(geometry.topLeft()) + (QPointF(x, y) - geometry.topLeft()) / ratio;
            break;
        }
    }
    return {logical.x(), desktopBottom() - logical.y()};
}

Point desktopPointFromLogical(double x, double y) {
    return {x, desktopBottom() - y};
}

QPoint qtPointFromDesktop(Point point) {
    return {static_cast<int>(std::lround(point.x)),
            static_cast<int>(std::lround(desktopBottom() - point.y))};
}

} // namespace nivu
