// The settings store: loading rules, write-through and the order in which changes are published.
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

std::vector<WindowSizePreset> twoPresets() {
    return {{Uuid::random(), "Small", 320, 240}, {Uuid::random(), "", 800, 600}};
}

TEST(AppSettingsLoading, FirstStartUsesBuiltInsAndStoresOnlyTheDefaultShortcut) {
    InMemoryUserDefaults defaults;
    AppSettings settings(defaults);

    EXPECT_EQ(settings.presets(), WindowSizePreset::builtInPresets());
    EXPECT_EQ(settings.presetMenuShortcut(), defaultShortcut());
    EXPECT_FALSE(defaults.contains(AppSettings::presetsKey));
    EXPECT_EQ(defaults.dataForKey(AppSettings::presetMenuShortcutKey),
              "{\"keyCode\":15,\"carbonModifiers\":2304,\"displayString\":\"\u2325\u2318R\"}");
    EXPECT_EQ(defaults.journal, std::vector<std::string>{"set presetMenuShortcut"});
}

TEST(AppSettingsLoading, StoredPresetsAreUsedExactlyOrIgnoredAsAWhole) {
    InMemoryUserDefaults empty;
    empty.setData(AppSettings::presetsKey, "[]");
    EXPECT_TRUE(AppSettings(empty).presets().empty()) << "an empty list stays empty";

    InMemoryUserDefaults incomplete;
    const std::string stored =
        R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":"A","width":1,"height":2},
            {"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E50","name":"B","width":1}])";
    incomplete.setData(AppSettings::presetsKey, stored);
    EXPECT_EQ(AppSettings(incomplete).presets(), WindowSizePreset::builtInPresets());
    EXPECT_EQ(incomplete.dataForKey(AppSettings::presetsKey), stored) << "not rewritten";

    InMemoryUserDefaults notData;
    notData.setNonData(AppSettings::presetsKey);
    EXPECT_EQ(AppSettings(notData).presets(), WindowSizePreset::builtInPresets());
}

TEST(AppSettingsLoading, StoredShortcutIsUsedOrAGarbageValueIsRemoved) {
    InMemoryUserDefaults custom;
    custom.setData(AppSettings::presetMenuShortcutKey,
                   R"({"keyCode":0,"carbonModifiers":4096,"displayString":"\u2303A","x":1})");
    EXPECT_EQ(AppSettings(custom).presetMenuShortcut(), (ShortcutSpec{0, 4096, "\u2303A"}));

    InMemoryUserDefaults garbage;
    garbage.setData(AppSettings::presetMenuShortcutKey, std::string("\x00\xff garbage", 10));
    EXPECT_EQ(AppSettings(garbage).presetMenuShortcut(), std::nullopt);
    EXPECT_FALSE(garbage.contains(AppSettings::presetMenuShortcutKey));
    EXPECT_EQ(AppSettings(garbage).presetMenuShortcut(), defaultShortcut())
        << "the start after a garbage value brings the default back";

    InMemoryUserDefaults notData;
    notData.setNonData(AppSettings::presetMenuShortcutKey);
    EXPECT_EQ(AppSettings(notData).presetMenuShortcut(), defaultShortcut());
}

TEST(AppSettingsWriteThrough, EveryAssignmentIsStoredAndSurvivesARestart) {
    InMemoryUserDefaults defaults;
    {
        AppSettings settings(defaults);
        auto presets = twoPresets();
        settings.setPresets(presets);
        std::swap(presets[0], presets[1]);
        settings.setPresets(presets);
        settings.setPresetMenuShortcut(ShortcutSpec{1, 512, "\u21E7S"});
    }
    AppSettings restarted(defaults);
    ASSERT_EQ(restarted.presets().size(), 2u);
    EXPECT_EQ(restarted.presets()[0].name, "");
    EXPECT_EQ(restarted.presets()[1].name, "Small");
    EXPECT_EQ(restarted.presetMenuShortcut(), (ShortcutSpec{1, 512, "\u21E7S"}));

    restarted.setPresetMenuShortcut(std::nullopt);
    EXPECT_FALSE(defaults.contains(AppSettings::presetMenuShortcutKey));
    EXPECT_EQ(AppSettings(defaults).presetMenuShortcut(), defaultShortcut());
    EXPECT_TRUE(defaults.contains(AppSettings::presetMenuShortcutKey));
}

TEST(AppSettingsWriteThrough, ResettingToBuiltInsGivesTheSameIdsAsAtStart) {
    InMemoryUserDefaults defaults;
    AppSettings settings(defaults);
    const auto atStart = settings.presets();
    settings.setPresets(twoPresets());
    settings.setPresets(WindowSizePreset::builtInPresets());
    EXPECT_EQ(settings.presets(), atStart);
}

TEST(AppSettingsPublication, PresetStreamDeliversCurrentAndEveryAssignedList) {
    InMemoryUserDefaults defaults;
    AppSettings settings(defaults);
    std::vector<std::size_t> sizes;
    auto stream =
        settings.subscribePresets([&](const auto& list) { sizes.push_back(list.size()); });
    settings.setPresets({});
    settings.setPresets(twoPresets());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{10, 0, 2}));
}

TEST(AppSettingsShared, SharedInstanceUsesTheProvidedDefaults) {
    auto defaults = std::make_unique<InMemoryUserDefaults>();
    auto* raw = defaults.get();
    AppSettings::provideSharedDefaults(std::move(defaults));
    AppSettings& shared = AppSettings::shared();
    EXPECT_EQ(&shared, &AppSettings::shared());
    EXPECT_TRUE(raw->contains(AppSettings::presetMenuShortcutKey));
}

} // namespace
} // namespace nivu
