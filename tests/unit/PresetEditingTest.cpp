// The settings window's editing rules for the presets list.
#include "ui/PresetEditing.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace preset_editing;

std::vector<std::string> names(const std::vector<WindowSizePreset>& presets) {
    std::vector<std::string> result;
    for (const auto& preset : presets) {
        result.push_back(preset.name);
    }
    return result;
}

std::vector<WindowSizePreset> abc() {
    return {{Uuid::random(), "A", 1, 1}, {Uuid::random(), "B", 2, 2}, {Uuid::random(), "C", 3, 3}};
}

TEST(PresetEditingTest, IntegerEntriesAreSignedDecimalWholeFieldsIn64Bits) {
    EXPECT_EQ(parseIntegerEntry("800"), 800);
    EXPECT_EQ(parseIntegerEntry("+800"), 800);
    EXPECT_EQ(parseIntegerEntry("-5"), -5);
    EXPECT_EQ(parseIntegerEntry("007"), 7);
    EXPECT_EQ(parseIntegerEntry("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(parseIntegerEntry("-9223372036854775808"), INT64_MIN);
    for (const char* bad : {"", " 800", "800 ", "800px", "+", "-", "+-1", "8 00", "0x10", "1e3",
                            "9223372036854775808", "\xEF\xBC\x98", "800\n"}) {
        EXPECT_EQ(parseIntegerEntry(bad), std::nullopt) << bad;
    }
}

TEST(PresetEditingTest, NamesLoseSpaceSeparatorsAndTabsAtBothEndsButNotLineBreaks) {
    EXPECT_EQ(trimmedName("  Large  "), "Large");
    EXPECT_EQ(trimmedName("\t\u3000\u00A0Wide\u2003"), "Wide") << "ideographic, no-break, em";
    EXPECT_EQ(trimmedName("\nTall\n"), "\nTall\n");
    EXPECT_EQ(trimmedName(" a b "), "a b");
    EXPECT_EQ(trimmedName("   "), "");
}

TEST(PresetEditingTest, ValidityNeedsANameAndPositiveSizesWithoutUpperLimit) {
    EXPECT_TRUE(isNewPresetValid("  Large  ", "1200", "800"));
    EXPECT_TRUE(isNewPresetValid("x", "+800", "9223372036854775807"));
    EXPECT_FALSE(isNewPresetValid("   ", "1200", "800"));
    EXPECT_FALSE(isNewPresetValid("x", " 800", "600"));
    EXPECT_FALSE(isNewPresetValid("x", "800px", "600"));
    EXPECT_FALSE(isNewPresetValid("x", "", "600"));
    EXPECT_FALSE(isNewPresetValid("x", "0", "600"));
    EXPECT_FALSE(isNewPresetValid("x", "-5", "600"));
    EXPECT_FALSE(isNewPresetValid("x", "9223372036854775808", "600"));
    EXPECT_FALSE(isNewPresetValid("x", "800", "0"));
}

TEST(PresetEditingTest, AddingAppendsTheTrimmedNameWithANewIdOrChangesNothing) {
    const auto list = abc();
    const auto added = addPreset(list, "  Large  ", "+1200", "800");
    ASSERT_TRUE(added);
    ASSERT_EQ(added->size(), 4u);
    EXPECT_EQ(added->back().name, "Large");
    EXPECT_EQ(added->back().width, 1200);
    EXPECT_EQ(added->back().height, 800);
    EXPECT_NE(added->back().id, list[0].id);
    EXPECT_EQ(addPreset(list, "x", "0", "1"), std::nullopt);
    EXPECT_EQ(addPreset(list, " ", "1", "1"), std::nullopt);
    const auto twice = addPreset(*addPreset({}, "Same", "1", "1"), "Same", "1", "1");
    ASSERT_EQ(twice->size(), 2u) << "duplicates are allowed";
    EXPECT_NE((*twice)[0].id, (*twice)[1].id);
}

TEST(PresetEditingTest, DeletingRemovesOnlyThePresetWithThatId) {
    auto list = abc();
    list[2] = {list[2].id, "A", 1, 1}; // equal name and size to the first
    const auto after = deletePreset(list, list[2].id);
    EXPECT_EQ(names(after), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(after[0].id, list[0].id);
    EXPECT_EQ(deletePreset(list, Uuid::random()), list);
}

TEST(PresetEditingTest, MovingInsertsBeforeTheDestinationCountedBeforeTheMove) {
    const auto list = abc();
    EXPECT_EQ(names(movePresets(list, {0}, 3)), (std::vector<std::string>{"B", "C", "A"}))
        << "the first of three dragged below the third";
    EXPECT_EQ(names(movePresets(list, {2}, 0)), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(names(movePresets(list, {0}, 2)), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(names(movePresets(list, {1}, 1)), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(names(movePresets(list, {0, 2}, 2)), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(names(movePresets(list, {7}, 1)), (std::vector<std::string>{"A", "B", "C"}));
}

} // namespace
} // namespace nivu
