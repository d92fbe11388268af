// Colours of text that must stay readable on any palette, light or dark, derived from the
// palette in force so that they follow a change of theme.
#pragma once

#include <QColor>
#include <QPalette>

namespace nivu {

// The contrast of two colours as WCAG counts it, from 1 (equal) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// Small text needs this much contrast with its background to be read.
constexpr double readableContrast = 4.5;

// Secondary text (sizes, notes, placeholders): the text colour toned down toward the window's
// colour, no further than stays readable on it and on a selected list row.
QColor secondaryTextColor(const QPalette& palette);

// An error's red, light on a dark window and dark on a light one, readable on the window.
QColor errorTextColor(const QPalette& palette);

// A list row's selection: the highlight faint over the list's base, so that the row's own
// texts and symbols, drawn in the ordinary colours, read on it as on the base.
QColor faintHighlight(const QPalette& palette);

} // namespace nivu
