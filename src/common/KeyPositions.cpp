// Key positions: virtual key codes and evdev codes of the same physical keys.
#include "common/KeyPositions.h"

#include <array>
#include <utility>

namespace nivu {

namespace {
// {virtual key code, evdev code} for every key a shortcut can use.
constexpr std::array<std::pair<std::uint16_t, int>, 104> keys{{
    // Letters.
    {0x00, 30},
    {0x0B, 48},
    {0x08, 46},
    {0x02, 32},
    {0x0E, 18},
    {0x03, 33},
    {0x05, 34},
    {0x04, 35},
    {0x22, 23},
    {0x26, 36},
    {0x28, 37},
    {0x25, 38},
    {0x2E, 50},
    {0x2D, 49},
    {0x1F, 24},
    {0x23, 25},
    {0x0C, 16},
    {0x0F, 19},
    {0x01, 31},
    {0x11, 20},
    {0x20, 22},
    {0x09, 47},
    {0x0D, 17},
    {0x07, 45},
    {0x10, 21},
    {0x06, 44},
    // Digits 1-9, 0.
    {0x12, 2},
    {0x13, 3},
    {0x14, 4},
    {0x15, 5},
    {0x17, 6},
    {0x16, 7},
    {0x1A, 8},
    {0x1C, 9},
    {0x19, 10},
    {0x1D, 11},
    // Punctuation: - = [ ] \ ; ' ` , . / and the key beside left Shift on ISO keyboards.
    {0x1B, 12},
    {0x18, 13},
    {0x21, 26},
    {0x1E, 27},
    {0x2A, 43},
    {0x29, 39},
    {0x27, 40},
    {0x32, 41},
    {0x2B, 51},
    {0x2F, 52},
    {0x2C, 53},
    {0x0A, 86},
    // Return, Tab, Space, Backspace ("Delete"), Escape, forward delete, Help/Insert.
    {0x24, 28},
    {0x30, 15},
    {0x31, 57},
    {0x33, 14},
    {0x35, 1},
    {0x75, 111},
    {0x72, 110},
    // Home, End, Page Up, Page Down, arrows.
    {0x73, 102},
    {0x77, 107},
    {0x74, 104},
    {0x79, 109},
    {0x7B, 105},
    {0x7C, 106},
    {0x7D, 108},
    {0x7E, 103},
    // F1-F20.
    {0x7A, 59},
    {0x78, 60},
    {0x63, 61},
    {0x76, 62},
    {0x60, 63},
    {0x61, 64},
    {0x62, 65},
    {0x64, 66},
    {0x65, 67},
    {0x6D, 68},
    {0x67, 87},
    {0x6F, 88},
    {0x69, 183},
    {0x6B, 184},
    {0x71, 185},
    {0x6A, 186},
    {0x40, 187},
    {0x4F, 188},
    {0x50, 189},
    {0x5A, 190},
    // Keypad: 0-9, . * + Clear(Num Lock) / Enter - =.
    {0x52, 82},
    {0x53, 79},
    {0x54, 80},
    {0x55, 81},
    {0x56, 75},
    {0x57, 76},
    {0x58, 77},
    {0x59, 71},
    {0x5B, 72},
    {0x5C, 73},
    {0x41, 83},
    {0x43, 55},
    {0x45, 78},
    {0x47, 69},
    {0x4B, 98},
    {0x4C, 96},
    {0x4E, 74},
    {0x51, 117},
    // Japanese keyboards: Yen, Ro, keypad comma.
    {0x5D, 124},
    {0x5E, 89},
    {0x5F, 95},
}};
} // namespace

std::optional<int> evdevCodeForVirtualKey(std::uint16_t virtualKeyCode) {
    for (const auto& [virtualKey, evdev] : keys) {
        if (virtualKey == virtualKeyCode) {
            return evdev;
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> virtualKeyForEvdevCode(int evdevCode) {
    for (const auto& [virtualKey, evdev] : keys) {
        if (evdev == evdevCode) {
            return virtualKey;
        }
    }
    return std::nullopt;
}

} // namespace nivu
