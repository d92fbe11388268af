// The settings store: what it loads, what it writes through, and what it publishes.
#include "settings/AppSettings.h"

#include "InMemoryUserDefaults.h"
#include "Printers.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using test::InMemoryUserDefaults;

const ShortcutSpec& defaultShortcut() {
    return AppSettings::defaultPresetMenuShortcut();
}

TEST(AppSettingsTest, FirstStartUsesBuiltInsAndStoresOnlyTheDefaultShortcut) {
    InMemoryUserDefaults defaults;
    AppSettings settings(defaults);
    EXPECT_EQ(settings.presets(), WindowSizePreset::builtInPresets());
    EXPECT_EQ(settings.presetMenuShortcut(), defaultShortcut());
    EXPECT_FALSE(defaults.contains(AppSettings::presetsKey));
    EXPECT_EQ(defaults.dataForKey(AppSettings::presetMenuShortcutKey),
              "{\"keyCode\":15,\"carbonModifiers\":2304,\"displayString\":\"\u2325\u2318R\"}");
}

TEST(AppSettingsTest, StoredValuesAreUsedExactlyOrIgnoredAsAWhole) {
    InMemoryUserDefaults stored;
    stored.setData(AppSettings::presetsKey, "[]");
    stored.setData(AppSettings::presetMenuShortcutKey,
                   R"({"keyCode":0,"carbonModifiers":4096,"displayString":"\u2303A","x":1})");
    EXPECT_TRUE(AppSettings(stored).presets().empty()) << "an empty list stays empty";
    EXPECT_EQ(AppSettings(stored).presetMenuShortcut(), (ShortcutSpec{0, 4096, "\u2303A"}));

    InMemoryUserDefaults incomplete;
    const std::string presets =
        R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","width":1,"height":2},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E50","name":"B","width":1}])";
    incomplete.setData(AppSettings::presetsKey, presets);
    EXPECT_EQ(AppSettings(incomplete).presets(), WindowSizePreset::builtInPresets());
    EXPECT_EQ(incomplete.dataForKey(AppSettings::presetsKey), presets) << "not rewritten";

    InMemoryUserDefaults garbage;
    garbage.setData(AppSettings::presetMenuShortcutKey, std::string("\x00\xff garbage", 10));
    EXPECT_EQ(AppSettings(garbage).presetMenuShortcut(), std::nullopt);
    EXPECT_FALSE(garbage.contains(AppSettings::presetMenuShortcutKey)) << "garbage is removed";
    EXPECT_EQ(AppSettings(garbage).presetMenuShortcut(), defaultShortcut()) << "at the next start";
}

TEST(AppSettingsTest, EveryAssignmentIsPublishedStoredAndSurvivesARestart) {
    InMemoryUserDefaults defaults;
    std::vector<WindowSizePreset> two = {{Uuid::random(), "Small", 320, 240},
                                         {Uuid::random(), "", 800, 600}};
    {
        AppSettings settings(defaults);
        std::vector<std::size_t> published;
        auto stream =
            settings.subscribePresets([&](const auto& list) { published.push_back(list.size()); });
        settings.setPresets({});
        settings.setPresets(two);
        EXPECT_EQ(published, (std::vector<std::size_t>{10, 0, 2}));
        settings.setPresetMenuShortcut(ShortcutSpec{1, 512, "\u21E7S"});
    }
    AppSettings restarted(defaults);
    EXPECT_EQ(restarted.presets(), two);
    EXPECT_EQ(restarted.presetMenuShortcut(), (ShortcutSpec{1, 512, "\u21E7S"}));

    restarted.setPresets(WindowSizePreset::builtInPresets());
    EXPECT_EQ(AppSettings(defaults).presets(), WindowSizePreset::builtInPresets())
        << "a reset gives the same ids as at the first start";
    restarted.setPresetMenuShortcut(std::nullopt);
    EXPECT_FALSE(defaults.contains(AppSettings::presetMenuShortcutKey));
    EXPECT_EQ(AppSettings(defaults).presetMenuShortcut(), defaultShortcut());
}

} // namespace
} // namespace nivu
