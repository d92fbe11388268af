// The shortcut value: its stored JSON form and its derivation from key events.
#include "input/ShortcutSpec.h"

#include "Printers.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace modifier_flag;
constexpr std::uint32_t capsLock = 0x10000;
constexpr std::uint32_t numericPad = 0x200000;

TEST(ShortcutSpecJson, DefaultEncodesInMemberOrderAndRoundTrips) {
    const ShortcutSpec spec{15, 2304, "\u2325\u2318R"};
    EXPECT_EQ(spec.encodeJson(),
              "{\"keyCode\":15,\"carbonModifiers\":2304,\"displayString\":\"\u2325\u2318R\"}");
    EXPECT_EQ(ShortcutSpec::decodeJson(spec.encodeJson()), spec);

    const ShortcutSpec odd{65535, 4294967295u, std::string("\"\\\n\0x", 5)};
    EXPECT_EQ(ShortcutSpec::decodeJson(odd.encodeJson()), odd);
}

TEST(ShortcutSpecJson, DecodingRequiresEveryMemberInRangeAndIgnoresOthers) {
    const auto decode = [](const std::string& text) { return ShortcutSpec::decodeJson(text); };
    EXPECT_TRUE(decode(R"({"keyCode":65535,"carbonModifiers":4294967295,"displayString":""})"));
    EXPECT_TRUE(decode(R"({"displayString":"x","extra":[1,2],"carbonModifiers":0,"keyCode":0})"));

    for (const char* text : {
             R"({"keyCode":15,"carbonModifiers":2304})",
             R"({"keyCode":65536,"carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":-1,"carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":15,"carbonModifiers":4294967296,"displayString":"R"})",
             R"({"keyCode":15,"carbonModifiers":-2304,"displayString":"R"})",
             R"({"keyCode":"15","carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":15.5,"carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":true,"carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":15,"carbonModifiers":2304,"displayString":null})",
             R"([15,2304,"R"])",
             "garbage",
             "",
         }) {
        EXPECT_FALSE(decode(text)) << text;
    }
}

TEST(ShortcutSpecDerivation, ModifierMaskUsesOnlyTheFourShortcutFlags) {
    EXPECT_EQ(carbonModifierMask(option | command), 0x0900u);
    EXPECT_EQ(carbonModifierMask(control | shift), 0x1200u);
    EXPECT_EQ(carbonModifierMask(control | option | shift | command), 0x1B00u);
    EXPECT_EQ(carbonModifierMask(command | capsLock | numericPad), 0x0100u);
    EXPECT_EQ(shortcutModifierFlags, shift | control | option | command);
}

TEST(ShortcutSpecDerivation, DisplayStringHasFixedSymbolOrderAndUpperCasedKeyText) {
    EXPECT_EQ(shortcutDisplayString(command | option, "r"), "\u2325\u2318R");
    EXPECT_EQ(shortcutDisplayString(command | shift | control, "k"), "\u2303\u21E7\u2318K");
    EXPECT_EQ(shortcutDisplayString(control | option | shift | command, "1"),
              "\u2303\u2325\u21E7\u23181");
    EXPECT_EQ(shortcutDisplayString(option, "a"), "\u2325A");
    EXPECT_EQ(shortcutDisplayString(command | capsLock, "q"), "\u2318Q");
    EXPECT_EQ(shortcutDisplayString(command, ""), "\u2318?");
}

TEST(ShortcutSpecDerivation, UpperCasingIsFullUnicodeAndLocaleIndependent) {
    EXPECT_EQ(shortcutDisplayString(option, "\u00DF"), "\u2325SS");
    EXPECT_EQ(shortcutDisplayString(option, "i"), "\u2325I") << "never the Turkish dotted I";
    EXPECT_EQ(shortcutDisplayString(option, "\u00E9"), "\u2325\u00C9");
    EXPECT_EQ(shortcutDisplayString(option, " "), "\u2325 ");
    EXPECT_EQ(shortcutDisplayString(option, "\r"), "\u2325\r");
    EXPECT_EQ(shortcutDisplayString(option, "\uF700"), "\u2325\uF700") << "private use kept";
    EXPECT_EQ(shortcutDisplayString(option, "\xff"), "\u2325\uFFFD") << "ill-formed text repaired";
}

TEST(ShortcutSpecEquality, AllFieldsCountAndDisplayTextComparesCanonically) {
    const ShortcutSpec upper{15, 2304, "\u2325\u2318R"};
    EXPECT_NE(upper, (ShortcutSpec{15, 2304, "\u2325\u2318r"}));
    EXPECT_NE(upper, (ShortcutSpec{16, 2304, "\u2325\u2318R"}));
    EXPECT_NE(upper, (ShortcutSpec{15, 2305, "\u2325\u2318R"}));
    EXPECT_EQ((ShortcutSpec{1, 2, "\u00C9"}), (ShortcutSpec{1, 2, "E\u0301"}));
    EXPECT_NE((ShortcutSpec{1, 2, "\xff"}), (ShortcutSpec{1, 2, "\xfe"}));
}

} // namespace
} // namespace nivu
