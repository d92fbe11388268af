// Presets: the built-in list and the stored JSON form.
#include "settings/WindowSizePreset.h"

#include <gtest/gtest.h>
#include <regex>
#include <set>

namespace nivu {
namespace {

TEST(WindowSizePresetTest, BuiltInIdsAreDistinctUpperCaseVersion4AndFixedForTheProcess) {
    const auto& presets = WindowSizePreset::builtInPresets();
    std::set<std::string> ids;
    const std::regex upperHyphenated(
        "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    for (const auto& preset : presets) {
        ids.insert(preset.id.toString());
        EXPECT_TRUE(std::regex_match(preset.id.toString(), upperHyphenated))
            << preset.id.toString();
    }
    EXPECT_EQ(ids.size(), 10u);
    EXPECT_EQ(WindowSizePreset::builtInPresets(), presets);
}

TEST(WindowSizePresetTest, ListRoundTripsAndIdsAreWrittenUpperCase) {
    const auto decoded = WindowSizePreset::decodeList(
        R"([{"name":"","height":-1,"width":9223372036854775807,"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","x":1},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E50","name":"\u00e9 \u00d7","width":800.0,"height":600}])");
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), 2u);
    EXPECT_EQ((*decoded)[0].id.toString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ((*decoded)[1].width, 800);
    EXPECT_TRUE(WindowSizePreset::encodeList(*decoded).starts_with(
        R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"","width":9223372036854775807,"height":-1},)"));
    EXPECT_EQ(WindowSizePreset::decodeList(WindowSizePreset::encodeList(*decoded)), decoded);
    EXPECT_EQ(WindowSizePreset::decodeList("[]"), std::vector<WindowSizePreset>{});
}

TEST(WindowSizePresetTest, OneMalformedElementRejectsTheWholeList) {
    const std::string good =
        R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","width":1,"height":2})";
    ASSERT_TRUE(WindowSizePreset::decodeList("[" + good + "]"));
    for (const std::string bad : {
             R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","width":1})",
             R"({"id":"not-a-uuid","name":"A","width":1,"height":2})",
             R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":1,"width":1,"height":2})",
             R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","width":1.5,"height":2})",
             R"("preset")",
         }) {
        EXPECT_FALSE(WindowSizePreset::decodeList("[" + good + "," + bad + "]")) << bad;
    }
    EXPECT_FALSE(WindowSizePreset::decodeList(good));
}

} // namespace
} // namespace nivu
