// Nivu's icons from their SVG sources, drawn by Qt SVG itself.
#include "qt/SvgIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace nivu {

QIcon svgIcon(const QString& path) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return {};
    }
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 44, 48, 64, 128}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace nivu
