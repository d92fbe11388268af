// Text from other programs' window properties (WM_CLASS, WM_WINDOW_ROLE): untrusted bytes made
// into UTF-8 without loss where possible.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nivu::x11 {

// Up to the first NUL. UTF-8 stays as it is; anything else is read as Latin-1 (the encoding
// ICCCM gives STRING properties).
std::string propertyText(std::string_view bytes);

// The class part of WM_CLASS ("instance\0class\0"); nothing when it is missing or empty.
std::optional<std::string> windowClass(std::string_view bytes);

} // namespace nivu::x11
