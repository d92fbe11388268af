// Colours of text that stay readable on any palette.
#include "qt/ReadableColors.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace nivu {

namespace {

double relativeLuminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

QColor mix(const QColor& from, const QColor& to, double amount) {
    const auto channel = [amount](double a, double b) { return a + (b - a) * amount; };
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    return QColor::fromRgbF(static_cast<float>(channel(a.redF(), b.redF())),
                            static_cast<float>(channel(a.greenF(), b.greenF())),
                            static_cast<float>(channel(a.blueF(), b.blueF())));
}

// The wanted colour moved toward the text colour just far enough to read on every background;
// the text colour itself where even that does not (a palette of too little contrast).
QColor readableOn(const QColor& wanted, std::initializer_list<QColor> backgrounds,
                  const QColor& text) {
    for (int step = 0; step <= 20; ++step) {
        const QColor candidate = mix(wanted, text, step / 20.0);
        if (std::all_of(backgrounds.begin(), backgrounds.end(), [&](const QColor& background) {
                return contrastRatio(candidate, background) >= readableContrast;
            })) {
            return candidate;
        }
    }
    return text;
}

bool isDark(const QColor& colour) {
    return relativeLuminance(colour) < 0.18;
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double first = relativeLuminance(a);
    const double second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor secondaryTextColor(const QPalette& palette) {
    const QColor text = palette.color(QPalette::WindowText);
    const QColor window = palette.color(QPalette::Window);
    return readableOn(mix(text, window, 0.5), {window, faintHighlight(palette)}, text);
}

QColor faintHighlight(const QPalette& palette) {
    return mix(palette.color(QPalette::Base), palette.color(QPalette::Highlight), 0.25);
}

QColor errorTextColor(const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    const QColor red = isDark(window) ? QColor(0xff, 0x6b, 0x6b) : QColor(0xc4, 0x1a, 0x1a);
    return readableOn(red, {window}, palette.color(QPalette::WindowText));
}

} // namespace nivu
