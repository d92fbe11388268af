// A keyboard combination: key position, Carbon modifier bits and the text shown for it.
#pragma once

#include "common/Modifiers.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nivu {

struct ShortcutSpec {
    std::uint16_t keyCode = 0;
    std::uint32_t carbonModifiers = 0;
    std::string displayString;

    // Display strings compare as text: canonically equivalent strings are equal.
    friend bool operator==(const ShortcutSpec& a, const ShortcutSpec& b);

    // Compact JSON with the members keyCode, carbonModifiers, displayString in that order.
    std::string encodeJson() const;
    // The value, or nothing when any member is missing, of the wrong type or out of range.
    static std::optional<ShortcutSpec> decodeJson(std::string_view bytes);
};

// "⌃⌥⇧⌘" symbols in that order for the flags set, then the key: the conventional symbol or name
// of a key that types no visible character (↩, ⇥, Space, ⌫, ⌦, ←, F5, ...), else its characters
// upper-cased with the full Unicode mapping, else the keypad key's own sign, else "?".
std::string shortcutDisplayString(Modifiers modifiers, std::uint16_t keyCode,
                                  std::string_view charactersIgnoringModifiers);

} // namespace nivu
