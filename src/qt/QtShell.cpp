// The user interface toolkit side of the controller, in Qt.
#include "qt/QtShell.h"

#include "qt/QtIndicatorView.h"

namespace nivu {

std::unique_ptr<IndicatorView> QtShell::createIndicatorView() {
    return std::make_unique<QtIndicatorView>(compositing_);
}

} // namespace nivu
