// A keyboard combination: key position, Carbon modifier bits and the text shown for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nivu {

// Modifier flags of a key event, in the layout the core uses everywhere.
namespace modifier_flag {
constexpr std::uint32_t shift = 0x20000;
constexpr std::uint32_t control = 0x40000;
constexpr std::uint32_t option = 0x80000;
constexpr std::uint32_t command = 0x100000;
} // namespace modifier_flag

// The flags that take part in a shortcut; everything else (Caps Lock, keypad, ...) is ignored.
constexpr std::uint32_t shortcutModifierFlags = 0x1E0000;

// Carbon modifier bits, the stored form of a shortcut's modifiers.
namespace carbon_modifier {
constexpr std::uint32_t command = 0x0100;
constexpr std::uint32_t shift = 0x0200;
constexpr std::uint32_t option = 0x0800;
constexpr std::uint32_t control = 0x1000;
} // namespace carbon_modifier

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

// The Carbon mask of a key event's modifier flags (only the four shortcut flags count).
std::uint32_t carbonModifierMask(std::uint32_t modifierFlags);

// "⌃⌥⇧⌘" symbols in that order for the flags set, then the key: the conventional symbol or name
// of a key that types no visible character (↩, ⇥, Space, ⌫, ⌦, ←, F5, ...), else its characters
// upper-cased with the full Unicode mapping, else the keypad key's own sign, else "?".
std::string shortcutDisplayString(std::uint32_t modifierFlags, std::uint16_t keyCode,
                                  std::string_view charactersIgnoringModifiers);

} // namespace nivu
