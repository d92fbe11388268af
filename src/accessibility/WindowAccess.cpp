// The seven window operations.
#include "accessibility/WindowAccess.h"

#include <cmath>

namespace nivu {

bool WindowAccess::isStandardWindow(const WindowElement& window) const {
    const auto subrole = desktop_.windowSubrole(window);
    return subrole == WindowSubrole::standardWindow;
}

bool WindowAccess::isSizeSettable(const WindowElement& window) const {
    return desktop_.isWindowSizeSettable(window);
}

std::optional<Size> WindowAccess::readWindowSize(const WindowElement& window) const {
    return desktop_.windowSize(window);
}

std::optional<std::string> WindowAccess::readWindowIdentifier(const WindowElement& window) const {
    return desktop_.windowIdentifier(window);
}

void WindowAccess::writeWindowSize(const WindowElement& window, double width, double height) const {
    if (!std::isfinite(width) || !std::isfinite(height)) {
        return;
    }
    desktop_.setWindowSize(window, Size{width, height});
}

std::optional<std::string> WindowAccess::bundleIdentifierOf(const WindowElement& window) const {
    return desktop_.bundleIdentifier(window);
}

WindowRef WindowAccess::focusedWindowOfFrontmostApplication() const {
    const auto frontmost = desktop_.frontmostApplication();
    return frontmost ? desktop_.focusedWindow(*frontmost) : nullptr;
}

} // namespace nivu
