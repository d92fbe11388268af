// Key positions between stored virtual key codes and X keycodes, and the modifier mapping.
#include "common/KeyPositions.h"

#include "x11/X11HotKeys.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

TEST(KeyPositionsTest, EveryRecordableKeyMapsBothWaysByPosition) {
    // R, space, Escape, F1, F20, up arrow; nothing at 0x34.
    const std::pair<std::uint16_t, std::optional<int>> keys[] = {
        {15, 19}, {0x31, 57}, {0x35, 1}, {0x7A, 59}, {0x5A, 190}, {0x7E, 103}, {0x34, {}}};
    for (const auto& [virtualKey, evdev] : keys) {
        EXPECT_EQ(evdevCodeForVirtualKey(virtualKey), evdev) << virtualKey;
    }
    for (int code = 0; code <= 0xFF; ++code) {
        if (const auto evdev = evdevCodeForVirtualKey(static_cast<std::uint16_t>(code))) {
            EXPECT_EQ(virtualKeyForEvdevCode(*evdev), code);
        }
    }
    EXPECT_EQ(virtualKeyForEvdevCode(42), std::nullopt) << "left Shift is no shortcut key";
}

TEST(KeyPositionsTest, CarbonModifiersBecomeSuperAltControlShift) {
    using enum Modifier;
    EXPECT_EQ(x11::X11HotKeys::xModifiers({command, option}), XCB_MOD_MASK_4 | XCB_MOD_MASK_1);
    EXPECT_EQ(x11::X11HotKeys::xModifiers({control, shift}),
              XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);
    EXPECT_EQ(modifiersOfCarbonBits(0x1B00 | 0x00FF), (Modifiers{command, shift, option, control}))
        << "Carbon's other bits are no modifiers";
    EXPECT_EQ(carbonBits({command, option}), 0x0900u);
}

} // namespace
} // namespace nivu
