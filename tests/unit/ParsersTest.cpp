// What each parser of outside text accepts and what it rejects: stored shortcut and preset
// values, and the settings window's preset entries.
#include "Printers.h"
#include "common/JsonInput.h"
#include "input/ShortcutSpec.h"
#include "settings/WindowSizePreset.h"
#include "ui/PresetEditing.h"

#include <gtest/gtest.h>
#include <set>

namespace nivu {
namespace {

using enum Modifier;

TEST(ShortcutSpecTest, StoredValues) {
    const ShortcutSpec odd{65535, 4294967295u, std::string("\"\\\n\0x", 5)};
    EXPECT_EQ(ShortcutSpec::decodeJson(odd.encodeJson()), odd);
    EXPECT_EQ(ShortcutSpec::decodeJson(
                  R"({"displayString":"x","extra":[1,2],"carbonModifiers":0,"keyCode":0})"),
              (ShortcutSpec{0, 0, "x"}))
        << "any member order, others ignored";
    for (const char* text : {
             R"({"keyCode":15,"carbonModifiers":2304})",
             R"({"keyCode":65536,"carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":-1,"carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":15,"carbonModifiers":4294967296,"displayString":"R"})",
             R"({"keyCode":"15","carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":15.5,"carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":true,"carbonModifiers":2304,"displayString":"R"})",
             R"({"keyCode":15,"carbonModifiers":2304,"displayString":null})",
             R"([15,2304,"R"])",
             "garbage",
             "",
         }) {
        EXPECT_FALSE(ShortcutSpec::decodeJson(text)) << text;
    }
    EXPECT_EQ((ShortcutSpec{1, 2, "\u00C9"}), (ShortcutSpec{1, 2, "E\u0301"})) << "canonically";
    EXPECT_NE((ShortcutSpec{15, 2304, "R"}), (ShortcutSpec{15, 2304, "r"}));
    EXPECT_NE((ShortcutSpec{15, 2304, "R"}), (ShortcutSpec{16, 2304, "R"})) << "another key";
    EXPECT_NE((ShortcutSpec{1, 2, "\xff"}), (ShortcutSpec{1, 2, "\uFFFD"})) << "not its repair";
}

TEST(ShortcutSpecTest, ValuesDerivedFromKeyEvents) {
    const std::tuple<Modifiers, std::uint16_t, const char*, const char*> shown[] = {
        {{command, option}, 0x0F, "r", "\u2325\u2318R"},
        {{command, shift, control, option}, 0x28, "k", "\u2303\u2325\u21E7\u2318K"},
        {{command}, 0x5D, "", "\u2318?"},
        {{option}, 0x1B, "\u00DF", "\u2325SS"},
        {{option}, 0x22, "i", "\u2325I"}, // never the Turkish dotted I
        {{option}, 0x29, "\u00E9", "\u2325\u00C9"},
        {{option}, 0x0A, "\uF700", "\u2325\uF700"}, // private use kept
        {{option}, 0x0A, "\xff", "\u2325\uFFFD"},   // ill-formed text repaired
        // Keys without a visible character: their symbol or name, whatever they type.
        {{control}, 0x24, "\r", "\u2303\u21A9"},
        {{control}, 0x31, " ", "\u2303Space"},
        {{control}, 0x33, "\b", "\u2303\u232B"},
        {{command}, 0x60, "", "\u2318F5"},
        {{command}, 0x5A, "", "\u2318F20"},
        {{command}, 0x7B, "", "\u2318\u2190"},
        {{command}, 0x79, "", "\u2318\u21DF"},
        {{command}, 0x59, "7", "\u23187"}, // the keypad with Num Lock on: its character
        {{command}, 0x59, "", "\u23187"},  // and off
    };
    for (const auto& [modifiers, keyCode, characters, display] : shown) {
        EXPECT_EQ(shortcutDisplayString(modifiers, keyCode, characters), display) << characters;
    }
}

TEST(WindowSizePresetTest, StoredLists) {
    const auto& builtIn = WindowSizePreset::builtInPresets();
    std::set<std::string> ids;
    for (const auto& preset : builtIn) {
        ids.insert(preset.id.toString());
    }
    EXPECT_EQ(ids.size(), builtIn.size()) << "deleting one by its id deletes only it";

    const auto decoded = WindowSizePreset::decodeList(
        R"([{"name":"","height":-1,"width":9223372036854775807,"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","x":1},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E50","name":"\u00e9","width":800.0,"height":600}])");
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), 2u);
    EXPECT_EQ((*decoded)[1].width, 800);
    EXPECT_TRUE(WindowSizePreset::encodeList(*decoded).starts_with(
        R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"","width":9223372036854775807,"height":-1},)"));
    EXPECT_EQ(WindowSizePreset::decodeList(WindowSizePreset::encodeList(*decoded)), decoded);
    EXPECT_EQ(WindowSizePreset::decodeList("[]"), std::vector<WindowSizePreset>{});

    const std::string good =
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","width":1,"height":2})";
    for (const std::string bad : {
             R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","width":1})",
             R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","height":2})",
             R"({"id":"not-a-uuid","name":"A","width":1,"height":2})",
             R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":1,"width":1,"height":2})",
             R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","width":1.5,"height":2})",
             R"("preset")",
         }) {
        EXPECT_FALSE(WindowSizePreset::decodeList("[" + good + "," + bad + "]")) << bad;
    }
    EXPECT_FALSE(WindowSizePreset::decodeList(good)) << "a preset, not a list";
    EXPECT_FALSE(
        WindowSizePreset::decodeList("[" + good + std::string(json::maxDocumentBytes, ' ') + "]"))
        << "too large, though well formed";
}

TEST(PresetEditingTest, EntriesOfANewPreset) {
    using preset_editing::parseIntegerEntry;
    const std::pair<const char*, std::int64_t> numbers[] = {
        {"800", 800}, {"+800", 800}, {"-5", -5}, {"007", 7}, {"-9223372036854775808", INT64_MIN}};
    for (const auto& [text, value] : numbers) {
        EXPECT_EQ(parseIntegerEntry(text), value) << text;
    }
    for (const char* bad : {"", " 800", "800 ", "800px", "+", "+-1", "0x10", "1e3",
                            "9223372036854775808", "\xEF\xBC\x98", "800\n"}) {
        EXPECT_EQ(parseIntegerEntry(bad), std::nullopt) << bad;
    }
    const std::pair<const char*, const char*> names[] = {{"  Large  ", "Large"},
                                                         {"\t\u3000\u00A0Wide\u2003", "Wide"},
                                                         {"\nTall\n", "\nTall\n"},
                                                         {" a b ", "a b"},
                                                         {"   ", ""}};
    for (const auto& [text, trimmed] : names) {
        EXPECT_EQ(preset_editing::trimmedName(text), trimmed) << text;
    }
    EXPECT_TRUE(preset_editing::isNewPresetValid("x", "+800", "9223372036854775807"));
    for (const auto& [name, width, height] : {std::tuple{"   ", "1200", "800"},
                                              {"x", "800px", "600"},
                                              {"x", "0", "600"},
                                              {"x", "-5", "600"},
                                              {"x", "800", "0"}}) {
        EXPECT_FALSE(preset_editing::isNewPresetValid(name, width, height))
            << name << " " << width << " " << height;
    }
}

std::vector<std::string> names(const std::vector<WindowSizePreset>& presets) {
    std::vector<std::string> result;
    for (const auto& preset : presets) {
        result.push_back(preset.name);
    }
    return result;
}

TEST(PresetEditingTest, AddingDeletingAndMoving) {
    using namespace preset_editing;
    const std::vector<WindowSizePreset> list = {
        {Uuid::random(), "A", 1, 1}, {Uuid::random(), "B", 2, 2}, {Uuid::random(), "A", 1, 1}};
    const auto added = addPreset(list, "  Large  ", "+1200", "800");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->back(), (WindowSizePreset{added->back().id, "Large", 1200, 800}));
    EXPECT_NE(added->back().id, list[0].id);
    EXPECT_EQ(addPreset(list, "x", "0", "1"), std::nullopt);
    const auto twice = addPreset(*addPreset({}, "Same", "1", "1"), "Same", "1", "1");
    EXPECT_NE((*twice)[0].id, (*twice)[1].id) << "duplicates are allowed";

    EXPECT_EQ(deletePreset(list, list[2].id), (std::vector{list[0], list[1]})) << "by id only";
    EXPECT_EQ(deletePreset(list, Uuid::random()), list);

    const std::vector<WindowSizePreset> abc = {
        {Uuid::random(), "A", 1, 1}, {Uuid::random(), "B", 2, 2}, {Uuid::random(), "C", 3, 3}};
    const std::tuple<std::set<std::size_t>, std::size_t, std::vector<std::string>> moves[] = {
        {{0}, 3, {"B", "C", "A"}}, // the first of three dragged below the third
        {{2}, 0, {"C", "A", "B"}},    {{0}, 2, {"B", "A", "C"}}, {{1}, 1, {"A", "B", "C"}},
        {{0, 2}, 2, {"B", "A", "C"}}, {{7}, 1, {"A", "B", "C"}}};
    for (const auto& [rows, destination, expected] : moves) {
        EXPECT_EQ(names(movePresets(abc, rows, destination)), expected) << destination;
    }
}

} // namespace
} // namespace nivu
