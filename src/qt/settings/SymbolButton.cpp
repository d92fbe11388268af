// The borderless symbol buttons of the settings window.
#include "qt/settings/SymbolButton.h"

#include "qt/ReadableColors.h"
#include "qt/SvgIcon.h"

#include <QToolButton>

namespace nivu {

namespace {
constexpr const char* symbolPath = "symbolPath";
} // namespace

QToolButton* symbolButton(const QString& svgPath, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setProperty(symbolPath, svgPath);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    // No bezel, but a visible frame while the keyboard is on it.
    button->setStyleSheet(QStringLiteral(
        "QToolButton { border: 1px solid transparent; border-radius: 4px; padding: 1px; }"
        "QToolButton:focus { border-color: palette(highlight); }"));
    tintSymbol(*button);
    return button;
}

void tintSymbol(QToolButton& button) {
    button.setIcon(
        svgIcon(button.property(symbolPath).toString(), secondaryTextColor(button.palette())));
}

} // namespace nivu
