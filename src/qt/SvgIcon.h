// Nivu's icons from their SVG sources, drawn by Qt SVG itself: an icon never depends on the
// image plugins that a desktop may lack, which would leave it blank.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace nivu {

// The icon at any size, drawn when first shown; a null icon when the file is missing or is not
// SVG. A valid tint paints every drawn pixel in that colour (a symbol that follows the theme).
QIcon svgIcon(const QString& path, const QColor& tint = {});

} // namespace nivu
