// Key positions between stored virtual key codes and X keycodes, and the modifier mapping.
#include "common/KeyPositions.h"

#include "x11/X11HotKeys.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

TEST(KeyPositionsTest, EveryRecordableKeyMapsBothWaysByPosition) {
    EXPECT_EQ(evdevCodeForVirtualKey(15), 19) << "R";
    EXPECT_EQ(evdevCodeForVirtualKey(0x31), 57) << "space";
    EXPECT_EQ(evdevCodeForVirtualKey(0x35), 1) << "Escape";
    EXPECT_EQ(evdevCodeForVirtualKey(0x7A), 59) << "F1";
    EXPECT_EQ(evdevCodeForVirtualKey(0x5A), 190) << "F20";
    EXPECT_EQ(evdevCodeForVirtualKey(0x7E), 103) << "up arrow";
    EXPECT_EQ(evdevCodeForVirtualKey(0x34), std::nullopt) << "no key there";
    for (int code = 0; code <= 0xFF; ++code) {
        if (const auto evdev = evdevCodeForVirtualKey(static_cast<std::uint16_t>(code))) {
            EXPECT_EQ(virtualKeyForEvdevCode(*evdev), code);
        }
    }
    EXPECT_EQ(virtualKeyForEvdevCode(42), std::nullopt) << "left Shift is no shortcut key";
}

TEST(KeyPositionsTest, CarbonModifiersBecomeSuperAltControlShift) {
    EXPECT_EQ(x11::X11HotKeys::xModifiers(0x0900), XCB_MOD_MASK_4 | XCB_MOD_MASK_1);
    EXPECT_EQ(x11::X11HotKeys::xModifiers(0x1200), XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);
    EXPECT_EQ(x11::X11HotKeys::xModifiers(0x00FF), 0) << "other bits are not modifiers";
}

} // namespace
} // namespace nivu
