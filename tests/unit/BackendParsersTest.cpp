// Parsers of what the backends read from other programs: key positions and modifiers, X
// property text and values, and the compositor side's reports. Whatever the input, a clear answer.
#include "bridge/Reports.h"
#include "common/KeyPositions.h"
#include "common/Utf8.h"
#include "gnome/ExtensionRefusal.h"
#include "x11/PropertyText.h"
#include "x11/WindowFacts.h"
#include "x11/WindowResize.h"
#include "x11/WorkArea.h"
#include "x11/X11HotKeys.h"

#include <cstring>
#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace x11;
using namespace bridge;

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

TEST(PropertyTextTest, Utf8IsKeptLatin1IsConvertedAndTextEndsAtTheFirstNul) {
    EXPECT_EQ(propertyText("editor"), "editor");
    EXPECT_EQ(propertyText("\xE7\xB7\xA8\xE9\x9B\x86"), "\xE7\xB7\xA8\xE9\x9B\x86");
    EXPECT_EQ(propertyText("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(propertyText(std::string("role\0tail", 9)), "role");
    EXPECT_EQ(propertyText(""), "");
    std::string hostile;
    for (int i = 0; i < 4096; ++i) {
        hostile += static_cast<char>(0x80 + i % 128);
    }
    EXPECT_TRUE(isValidUtf8(propertyText(hostile)));
}

TEST(PropertyTextTest, ClassIsTheSecondStringOfWmClass) {
    EXPECT_EQ(windowClass(std::string("xterm\0XTerm\0", 12)), "XTerm");
    EXPECT_EQ(windowClass(std::string("xterm\0XTerm", 11)), "XTerm") << "no final NUL";
    EXPECT_EQ(windowClass(std::string("a\0B\0extra\0", 10)), "B");
    EXPECT_EQ(windowClass("no separator"), std::nullopt);
    EXPECT_EQ(windowClass(std::string("instance\0", 9)), std::nullopt);
    EXPECT_EQ(windowClass(std::string("i\0Cl\xE4ss", 8)), "Cl\xC3\xA4ss");
}

TEST(PropertyTextTest, TransientWindowsAreDialogsWhateverTypeTheyName) {
    constexpr xcb_atom_t normal = 301, dialog = 302, utility = 303;
    const auto standardWindow = WindowSubrole::standardWindow, aDialog = WindowSubrole::dialog;
    const struct {
        std::vector<std::uint32_t> types;
        bool transient;
        WindowSubrole kind;
    } rows[] = {
        {{}, false, standardWindow}, {{normal}, false, standardWindow},
        {{}, true, aDialog},         {{normal}, true, aDialog}, // LibreOffice's options dialog
        {{dialog}, false, aDialog},  {{utility, normal}, false, WindowSubrole::unknown},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(x11::windowKind(row.types, row.transient, normal, dialog), row.kind)
            << row.types.size() << " types, transient " << row.transient;
    }
}

TEST(PropertyTextTest, FrameExtentsAreAShadowOnlyWhenFourAndSmallerThanTheClient) {
    const auto extents = [](std::vector<std::uint32_t> values) {
        PropertyValue value{XCB_ATOM_CARDINAL, 32, std::string(values.size() * 4, '\0')};
        std::memcpy(value.bytes.data(), values.data(), value.bytes.size());
        return value;
    };
    const Size client{900, 700};
    EXPECT_EQ(frameShadow(extents({61, 61, 55, 67}), client), (Size{122, 122}));
    EXPECT_EQ(frameShadow(extents({0, 0, 0, 0}), client), (Size{0, 0}));
    EXPECT_EQ(frameShadow(extents({61, 61, 55}), client), std::nullopt);
    EXPECT_EQ(frameShadow(extents({450, 450, 0, 0}), client), std::nullopt) << "nothing visible";
    EXPECT_EQ(frameShadow(extents({0xFFFFFFFF, 1, 0, 0}), client), std::nullopt);
}

TEST(PropertyTextTest, SizesAreFittedIntoTheWorkAreaOfTheWindowsMonitorWithTheFrame) {
    // Two monitors side by side; a panel of 24 at the top of desktop 1.
    const std::vector<PixelRect> monitors{{0, 0, 1600, 1000}, {1600, 0, 1280, 720}};
    const std::vector<std::uint32_t> areas{0, 0, 2880, 1000, 0, 24, 2880, 976};
    EXPECT_EQ(workAreaAt(800, 500, monitors, areas, 0), (PixelRect{0, 0, 1600, 1000}));
    EXPECT_EQ(workAreaAt(2000, 300, monitors, areas, 1), (PixelRect{1600, 24, 1280, 696}));
    EXPECT_EQ(workAreaAt(2000, 900, monitors, areas, 0), (PixelRect{1600, 0, 1280, 720}))
        << "below the smaller monitor: the nearest";
    EXPECT_EQ(workAreaAt(1700, 1500, monitors, areas, 0), monitors[0]) << "below both: the nearer";
    EXPECT_EQ(workAreaAt(800, 500, monitors, areas, 2), monitors[0]) << "no work area: monitor";
    EXPECT_EQ(workAreaAt(800, 500, {}, areas, 0), std::nullopt);
}

// The request for a size: fitted, frame included, into the work area of the window's monitor
// (here the smaller one, below a panel), the client's shadow added, and the frame moved just
// far enough to lie inside where it would not at its place.
TEST(PropertyTextTest, ARequestFitsTheSizeAndMovesTheWindowOnlyWhereItWouldNotLieInside) {
    const std::vector<std::uint32_t> frame{1, 1, 24, 4};
    const PixelRect area{1600, 24, 1280, 696};
    const PixelRect placed{1700, 100, 400, 300}; // the client; its frame's top left: 1699, 76
    using Origin = std::pair<std::int32_t, std::int32_t>;
    const struct {
        ResizeInputs in;
        std::optional<ResizePlan> plan;
        const char* what;
    } rows[] = {
        {{{800, 600}, {}, placed, area, frame}, ResizePlan{800, 600, {}}, "fits where it is"},
        {{{1920, 1080}, {}, placed, area, frame},
         ResizePlan{1278, 668, Origin{1600, 24}},
         "fitted and moved to the area's corner"},
        {{{1200, 600}, {}, placed, area, frame},
         ResizePlan{1200, 600, Origin{1678, 76}},
         "moved left just far enough"},
        {{{800, 600}, {}, {{1700, 300, 400, 300}}, area, frame},
         ResizePlan{800, 600, Origin{1699, 92}},
         "moved up just far enough"},
        {{{1920, 1080}, {}, placed, area, {}},
         ResizePlan{1280, 696, Origin{1600, 24}},
         "no frame yet"},
        {{{800, 500}, {30, 40}, placed, area, frame}, ResizePlan{830, 540, {}}, "with its shadow"},
        {{{1920, 1080}, {}, placed, std::nullopt, frame},
         ResizePlan{1920, 1080, {}},
         "no work area: kept, and not moved"},
        {{{-1, 1}, {}, placed, area, frame}, std::nullopt, "beyond what X can express"},
        {{{40000, 1}, {}, placed, std::nullopt, frame}, std::nullopt, "beyond what X can express"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(planResize(row.in), row.plan) << row.what;
    }
}

// Of the ConfigureNotify events read in one batch, only each window's newest is handled.
TEST(PropertyTextTest, AConfigureNotifyOfAWindowIsOldNewsOnceANewerOneIsInTheBatch) {
    const auto configure = [](xcb_window_t event, xcb_window_t window) {
        xcb_configure_notify_event_t notify{};
        notify.response_type = XCB_CONFIGURE_NOTIFY | 0x80; // sent by the window manager
        notify.event = event;
        notify.window = window;
        return notify;
    };
    const xcb_configure_notify_event_t first = configure(7, 7), substructure = configure(1, 7),
                                       other = configure(8, 8), last = configure(7, 7);
    xcb_property_notify_event_t property{};
    property.response_type = XCB_PROPERTY_NOTIFY;
    const std::vector<const xcb_generic_event_t*> batch{
        reinterpret_cast<const xcb_generic_event_t*>(&first),
        reinterpret_cast<const xcb_generic_event_t*>(&property),
        reinterpret_cast<const xcb_generic_event_t*>(&substructure),
        reinterpret_cast<const xcb_generic_event_t*>(&other),
        reinterpret_cast<const xcb_generic_event_t*>(&last)};
    EXPECT_EQ(x11::supersededConfigureNotifies(batch),
              (std::vector<bool>{true, false, false, false, false}));
}

TEST(BridgeReportTest, MalformedReportsAreNothing) {
    for (const char* json : {
             R"(not json)",
             R"(["size"])",
             R"({"report":"size","id":"{a1}","width":-1,"height":555})",
             R"({"report":"size","id":"{a1}","width":777.5,"height":555})",
             R"({"report":"size","id":"{a1}","width":1e12,"height":555})",
             R"({"report":"size","id":"{a1}","width":"777","height":555})",
             R"({"report":"size","id":"","width":777,"height":555})",
             R"({"report":"size","width":777,"height":555})",
             R"({"report":"size","id":"{a1}","width":7,"height":5,"x":"left","y":2})",
             R"({"report":"window","id":"{a1}","app":"x","pid":-3,"width":10,"height":10})",
             R"({"report":"window","id":"{a1}","app":"x","width":10,"height":10})",
             R"({"report":"closed","id":7})",
             R"({"report":"drag","id":"{a1}","x":1e300,"y":2})",
             R"({"report":"hotkey","shortcut":0,"x":1,"y":2})",
             R"({"report":"hotkey","shortcut":3})",
             R"({"report":"refused","shortcut":2.5})",
             R"({"report":"menu","entry":-1})",
             R"({"report":"menu","entry":"2"})",
             R"({"report":"menu","entry":1e9})",
             R"({"report":"moved","id":"{a1}","width":10,"height":10})",
             R"({"e":"size","id":"{a1}","w":777,"h":555})",
         }) {
        EXPECT_FALSE(parseReport(json)) << json;
    }
}

// What GNOME's extension info says of why it does not run Nivu's extension: turning it on helps
// only where it is merely off.
TEST(ExtensionRefusalTest, GnomesStateAndTheUsersSwitchNameTheReason) {
    using gnome::ExtensionRefusal;
    const struct {
        double state;
        bool userExtensionsEnabled;
        ExtensionRefusal refusal;
    } rows[] = {
        {1, true, ExtensionRefusal::none},               // running
        {2, true, ExtensionRefusal::none},               // turned off: Nivu turns it on
        {6, false, ExtensionRefusal::userExtensionsOff}, // every extension off
        {4, true, ExtensionRefusal::outOfDate},
        {4, false, ExtensionRefusal::outOfDate}, // turning extensions on would not help
        {3, true, ExtensionRefusal::error},
    };
    for (const auto& row : rows) {
        const QVariantMap info{{QStringLiteral("state"), row.state},
                               {QStringLiteral("error"), QStringLiteral("SyntaxError: x")}};
        EXPECT_EQ(gnome::refusalOf(info, row.userExtensionsEnabled), row.refusal)
            << row.state << " " << row.userExtensionsEnabled;
    }
    const QVariantMap failed{{QStringLiteral("state"), 3.0},
                             {QStringLiteral("error"), QStringLiteral("SyntaxError: x")}};
    EXPECT_EQ(gnome::refusalDetail(ExtensionRefusal::error, failed, QStringLiteral("n@n")),
              QStringLiteral("SyntaxError: x"));
    EXPECT_EQ(gnome::refusalDetail(ExtensionRefusal::outOfDate, failed, QStringLiteral("n@n")),
              QStringLiteral("n@n"));
}

} // namespace
} // namespace nivu
