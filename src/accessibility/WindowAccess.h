// The seven operations through which Nivu reads and writes other applications' windows. Every
// failure collapses into false or nothing.
#pragma once

#include "platform/Desktop.h"

#include <optional>
#include <string>
#include <string_view>

namespace nivu {

class WindowAccess {
public:
    explicit WindowAccess(Desktop& desktop)
        : desktop_(desktop) {}

    bool isStandardWindow(const WindowElement& window) const;
    bool isSizeSettable(const WindowElement& window) const;
    std::optional<Size> readWindowSize(const WindowElement& window) const;
    // An empty identifier stays empty; nothing means the window has none.
    std::optional<std::string> readWindowIdentifier(const WindowElement& window) const;
    // Not read back, not retried; a size that is not a finite number is not written.
    void writeWindowSize(const WindowElement& window, double width, double height) const;
    std::optional<std::string> bundleIdentifierOf(const WindowElement& window) const;
    WindowRef focusedWindowOfFrontmostApplication() const;

private:
    Desktop& desktop_;
};

} // namespace nivu
