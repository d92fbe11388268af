// The borderless buttons that show only a symbol (remove a preset, clear the shortcut): drawn in
// the palette's secondary text colour, with a frame while they have the keyboard focus.
#pragma once

#include <QString>

class QToolButton;
class QWidget;

namespace nivu {

QToolButton* symbolButton(const QString& svgPath, QWidget* parent);

// Draws the symbol again in the colours of the button's palette now (after a theme change).
void tintSymbol(QToolButton& button);

} // namespace nivu
