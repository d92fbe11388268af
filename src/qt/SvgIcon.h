// Nivu's icons from their SVG sources, drawn by Qt SVG itself: an icon never depends on the
// image plugins that a desktop may lack, which would leave it blank.
#pragma once

#include <QIcon>
#include <QString>

namespace nivu {

// The icon at any size, drawn when first shown; a null icon when the file is missing or is not
// SVG.
QIcon svgIcon(const QString& path);

} // namespace nivu
