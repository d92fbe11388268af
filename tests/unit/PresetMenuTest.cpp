// The preset shortcut and menu: re-registration on every shortcut value, the menu's entries,
// and the window an entry acts on.
#include "FakeApp.h"
#include "Printers.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

class PresetMenuTest : public ::testing::Test, protected test::FakeApp {
protected:
    PresetMenuTest() {
        desktop.addApplication(1, "XTerm").focusedWindow = focused;
        desktop.frontmost = 1;
        delegate.applicationDidFinishLaunching();
    }

    std::vector<std::string> titles(const Menu& menu) const {
        std::vector<std::string> result;
        for (const auto& entry : menu) {
            result.push_back(entry.title);
        }
        return result;
    }

    std::shared_ptr<test::FakeWindow> focused = desktop.addWindow(1);
};

TEST_F(PresetMenuTest, EveryShortcutValueUnregistersTheOldHotKeyBeforeRegisteringTheNew) {
    const ShortcutSpec controlShiftK{40, 0x1200, "\u2303\u21E7K"};
    settings.setPresetMenuShortcut(controlShiftK);
    settings.setPresetMenuShortcut(controlShiftK);
    settings.setPresetMenuShortcut(std::nullopt);
    EXPECT_EQ(hotKeyPlatform.journal,
              (std::vector<std::string>{"install handler", "register 15/2304 as 1", "unregister 1",
                                        "register 40/4608 as 2", "unregister 2",
                                        "register 40/4608 as 3", "unregister 3"}));
    EXPECT_EQ(delegate.presetHotKey(), nullptr) << "cleared: no hot key";
}

TEST_F(PresetMenuTest, ARefusedShortcutLeavesNoHotKeyAndNothingIsShown) {
    hotKeyPlatform.taken.insert({1, 0x0100});
    settings.setPresetMenuShortcut(ShortcutSpec{1, 0x0100, "\u2318S"});
    EXPECT_EQ(delegate.presetHotKey(), nullptr);
    EXPECT_TRUE(shell.journal.empty() || shell.journal.back() != "accessibility prompt");
}

TEST_F(PresetMenuTest, TheHotKeyShowsTheBuiltInPresetsInOrderAtThePointer) {
    pointer.location = {300, 200};
    hotKeyPlatform.press(delegate.presetHotKey()->id());
    ASSERT_EQ(shell.poppedUpMenus.size(), 1u);
    const auto shown = titles(shell.poppedUpMenus[0]);
    ASSERT_EQ(shown.size(), 10u);
    EXPECT_EQ(shown.front(), "VGA (640 \u00D7 480)");
    EXPECT_EQ(shown[6], "FHD (1080p) (1920 \u00D7 1080)");
    EXPECT_EQ(shown.back(), "4K UHD (3840 \u00D7 2160)");
    EXPECT_EQ(shell.popUpLocations[0], (Point{300, 200}));
}

TEST_F(PresetMenuTest, TitlesAndThePlaceholderForAnEmptyList) {
    settings.setPresets({{Uuid::random(), "", 800, 600}, {Uuid::random(), "Big", -1, 1}});
    delegate.showPresetMenu();
    EXPECT_EQ(titles(shell.poppedUpMenus.back()),
              (std::vector<std::string>{" (800 \u00D7 600)", "Big (-1 \u00D7 1)"}));

    settings.setPresets({});
    shell.translations["No presets configured"] = "プリセットが設定されていません";
    delegate.showPresetMenu();
    const Menu& empty = shell.poppedUpMenus.back();
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].title, "プリセットが設定されていません");
    EXPECT_FALSE(empty[0].enabled);
    EXPECT_FALSE(empty[0].action);
}

TEST_F(PresetMenuTest, TheChosenPresetGoesToTheWindowFocusedWhenTheMenuOpened) {
    auto other = desktop.addWindow(1);
    shell.onPopUp = [&](const Menu& menu) {
        desktop.addApplication(1, "XTerm").focusedWindow = other; // focus moves meanwhile
        menu[6].action();
    };
    delegate.showPresetMenu();
    EXPECT_EQ(focused->writtenSizes, (std::vector<Size>{{1920, 1080}}));
    EXPECT_TRUE(other->writtenSizes.empty());
    EXPECT_TRUE(memory.records.empty()) << "the menu itself records nothing";
}

TEST_F(PresetMenuTest, NoFocusedWindowOrNoFrontmostApplicationShowsNoMenu) {
    desktop.addApplication(1, "XTerm").focusedWindow = nullptr;
    delegate.showPresetMenu();
    desktop.frontmost.reset();
    delegate.showPresetMenu();
    EXPECT_TRUE(shell.poppedUpMenus.empty());

    delegate.applyPreset(nullptr); // a sender without payload is ignored
}

TEST_F(PresetMenuTest, EditedPresetsChangeTheNextMenu) {
    delegate.showPresetMenu();
    auto presets = settings.presets();
    presets.erase(presets.begin());
    settings.setPresets(presets);
    delegate.showPresetMenu();
    EXPECT_EQ(shell.poppedUpMenus[0].size(), 10u);
    EXPECT_EQ(shell.poppedUpMenus[1].size(), 9u);
    EXPECT_EQ(shell.poppedUpMenus[1][0].title, "SVGA (800 \u00D7 600)");
}

} // namespace
} // namespace nivu
