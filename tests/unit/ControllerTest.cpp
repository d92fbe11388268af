// The controller on a full set of fakes and a virtual clock: launch and quit, waiting for
// window access, live resizes with the badge, restoring sizes, and the preset menu.
#include "FakeApp.h"
#include "Printers.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace std::chrono_literals;
using Record = test::RecordingSizeMemory::Record;

class ControllerTest : public ::testing::Test, protected test::FakeApp {
protected:
    ControllerTest() {
        desktop.addApplication(1, "XTerm");
        desktop.frontmost = 1;
        desktop.focused[1] = focused;
    }
    void launch() { delegate.applicationDidFinishLaunching(); }
    bool grantEntryShown() const { return !shell.statusMenu.at(0).hidden; }
    bool observing() const { return delegate.accessibilityObserver().isStarted(); }
    void resize(double width, double height, std::optional<std::string> bundle = "XTerm") {
        delegate.handleResize({{width, height}, std::move(bundle), std::nullopt});
    }

    std::shared_ptr<test::FakeWindow> focused = desktop.addWindow(1);
};

TEST_F(ControllerTest, TheStatusMenuActsAndQuittingFreesTheKey) {
    launch();
    EXPECT_FALSE(grantEntryShown()) << "access is there: nothing to grant";
    shell.statusMenu[2].action();
    EXPECT_EQ(shell.settingsWindows, 1) << "Settings…";
    shell.statusMenu[4].action();
    EXPECT_EQ(shell.aboutPanels, 1) << "About Nivu";
    shell.statusMenu.back().action();
    EXPECT_EQ(shell.terminations, 1);
    delegate.applicationWillTerminate();
    EXPECT_TRUE(hotKeyPlatform.registered.empty()) << "the combination is free for others";
}

TEST_F(ControllerTest, AccessThatNivusOwnStepGivesAtLaunchNeedsNoGrantEntry) {
    desktop.permission = false;
    desktop.accessOnStep = true;
    launch();
    EXPECT_TRUE(observing() && !grantEntryShown() && shell.prompts == 0);
}

TEST_F(ControllerTest, AccessThatNivusOwnStepBringsLaterIsTakenAsTheStepEnds) {
    desktop.permission = false;
    launch();
    const int steps = desktop.accessSteps;
    desktop.endStep(false); // KWin refused: the next step comes with the poll, not at once
    EXPECT_FALSE(observing());
    EXPECT_EQ(desktop.accessSteps, steps);
    clock.advance(1s);
    desktop.endStep(true); // KWin started the script
    EXPECT_TRUE(observing() && !grantEntryShown() && !delegate.isPollingPermission());
}

TEST_F(ControllerTest, WithoutAccessItExplainsOncePollsEverySecondAndStartsWhenItArrives) {
    desktop.permission = false;
    launch();
    EXPECT_TRUE(grantEntryShown() && !observing() && shell.prompts == 1);
    EXPECT_EQ(desktop.accessSteps, 1) << "the desktop's own step at launch";
    const int checks = desktop.permissionChecks;
    clock.advance(3s);
    EXPECT_EQ(desktop.permissionChecks, checks + 3);
    EXPECT_EQ(desktop.accessSteps, 4) << "and before each check";
    shell.statusMenu[0].action(); // "Grant Accessibility Access…"
    EXPECT_EQ(shell.prompts, 2);
    EXPECT_TRUE(delegate.isPollingPermission()) << "the entry neither starts nor stops polling";

    desktop.permission = true;
    clock.advance(999ms);
    EXPECT_FALSE(observing());
    clock.advance(1ms);
    EXPECT_TRUE(observing() && !grantEntryShown() && !delegate.isPollingPermission());

    // The window manager goes away: back to waiting, without a dialog for a restarting one.
    desktop.loseAccess();
    EXPECT_TRUE(grantEntryShown() && !observing() && delegate.isPollingPermission());
    EXPECT_EQ(shell.prompts, 2);
    desktop.permission = true;
    clock.advance(1s);
    EXPECT_TRUE(observing() && !grantEntryShown());
    EXPECT_TRUE(desktop.watchesLoss()) << "and watches again";
}

TEST_F(ControllerTest, ALiveResizeShowsTheBadgeAndRecordsOnceWhenItEnds) {
    launch();
    pointer.location = {500, 400};
    resize(1280, 720);
    EXPECT_EQ(shell.indicator.frameOrigin, (Point{516, 356})) << "beside the pointer, read now";
    for (int i = 0; i < 40; ++i) {
        resize(800 + i * 2.5, 600);
        pointer.drag({500.0 + i, 400.0 - i});
        clock.advance(16ms);
    }
    EXPECT_EQ(shell.indicator.orderFrontCount, 1);
    EXPECT_EQ(shell.indicator.texts.back(), "898 \u00D7 600") << "897.5 rounds away from zero";
    resize(897.6, 599.8);
    EXPECT_EQ(shell.indicator.texts.size(), 41u) << "the same text is not laid out again";
    EXPECT_EQ(IndicatorPanel::sizeText({0, -0.5}), "0 \u00D7 -1");
    EXPECT_EQ(IndicatorPanel::sizeText({1e300, 12}), "9223372036854775807 \u00D7 12");
    EXPECT_EQ(shell.indicator.frameOrigin, (Point{555, 317})) << "follows the last drag";
    delegate.followPointer({10, 10});
    EXPECT_EQ(shell.indicator.frameOrigin, (Point{26, -34})) << "no monitor holds the pointer";
    EXPECT_TRUE(memory.records.empty()) << "the store is not touched during the drag";

    pointer.release();
    EXPECT_EQ(memory.records, (std::vector<Record>{{{897.6, 599.8}, "XTerm", std::nullopt}}));
    EXPECT_FALSE(shell.indicator.visible || pointer.monitorCount()) << "monitors only while live";
    pointer.release();
    clock.advance(1s);
    EXPECT_EQ(memory.records.size(), 1u) << "neither a stray mouse-up nor the idle timer records";

    // Without a mouse-up it ends half a second after the last event; a further event starts
    // a new one.
    resize(700, 500);
    clock.advance(300ms);
    resize(710, 500);
    clock.advance(499ms);
    EXPECT_TRUE(delegate.liveResize().isResizing());
    clock.advance(1ms);
    EXPECT_FALSE(delegate.liveResize().isResizing());
    resize(750, 520, std::nullopt);
    EXPECT_EQ(shell.indicator.orderFrontCount, 3);
    pointer.release();
    EXPECT_EQ(memory.records.back(), (Record{{710, 500}, "XTerm", std::nullopt}))
        << "a window without an application id is shown but not recorded";
}

// The badge's lower-left corner for a pointer on two monitors side by side, 1920 x 1080 and
// 1280 x 1024 (y up, both at the bottom): 16 points right of and below the pointer where the
// monitor has room, on the pointer's other side where it has not.
TEST_F(ControllerTest, TheBadgeStaysOnTheMonitorUnderThePointer) {
    shell.indicator.screens = {{{0, 0}, {1920, 1080}}, {{1920, 0}, {1280, 1024}}};
    const struct {
        Point pointer;
        Point origin;
        const char* where;
    } rows[] = {
        {{1, 1079}, {17, 1035}, "top left"},
        {{1919, 1079}, {1783, 1035}, "top right"},
        {{1, 1}, {17, 17}, "bottom left"},
        {{1919, 1}, {1783, 17}, "bottom right"},
        {{1850, 600}, {1714, 556}, "the inner edge, on the left monitor"},
        {{1930, 600}, {1946, 556}, "the inner edge, on the right monitor"},
    };
    launch();
    resize(1280, 720);
    for (const auto& row : rows) {
        delegate.followPointer(row.pointer);
        EXPECT_EQ(shell.indicator.frameOrigin, row.origin) << row.where;
    }
}
TEST_F(ControllerTest, NewWindowsGetTheSizeRememberedWhenTheirEventArrived) {
    launch();
    memory.sizes[{"XTerm", std::nullopt}] = {1024, 768};
    auto first = desktop.addWindow(1);
    auto unknown = desktop.addWindow(1);
    delegate.restoreRememberedSize({first, "XTerm", std::nullopt});
    delegate.restoreRememberedSize({unknown, "XTerm", "other-kind"});
    delegate.restoreRememberedSize({unknown, std::nullopt, std::nullopt});
    memory.sizes.clear(); // looked up at once, when the event arrived
    clock.advance(49ms);
    EXPECT_TRUE(first->writtenSizes.empty());
    clock.advance(1ms);
    EXPECT_EQ(first->writtenSizes, (std::vector<Size>{{1024, 768}}));
    EXPECT_TRUE(unknown->writtenSizes.empty());

    // From the observer: 200 ms to settle, then the 50 ms restore delay.
    memory.sizes[{"XTerm", std::nullopt}] = {900, 600};
    auto window = desktop.addWindow(1);
    desktop.notify(window, WindowNotification::windowCreated);
    clock.advance(249ms);
    EXPECT_TRUE(window->writtenSizes.empty());
    clock.advance(1ms);
    EXPECT_EQ(window->writtenSizes, (std::vector<Size>{{900, 600}}));
    desktop.notify(window, WindowNotification::windowResized);
    EXPECT_TRUE(delegate.liveResize().isResizing()) << "our own write is a resize like any other";
}

TEST_F(ControllerTest, TheHotKeyOpensThePresetsAtThePointerAndEveryShortcutValueReplacesIt) {
    launch();
    pointer.location = {300, 200};
    auto other = desktop.addWindow(1);
    shell.onPopUp = [&](const Menu& menu) {
        desktop.focused[1] = other; // focus moves while the menu is open
        menu[6].action();
    };
    hotKeyPlatform.press(delegate.presetHotKey()->id());
    ASSERT_EQ(shell.poppedUpMenus.size(), 1u);
    EXPECT_EQ(shell.poppedUpMenus[0].size(), 10u);
    EXPECT_EQ(shell.poppedUpMenus[0][6].title, "FHD (1080p) (1920 \u00D7 1080)");
    EXPECT_EQ(shell.popUpLocations[0], (Point{300, 200}));
    EXPECT_EQ(focused->writtenSizes, (std::vector<Size>{{1920, 1080}}));
    EXPECT_TRUE(other->writtenSizes.empty() && memory.records.empty())
        << "the menu records nothing";

    shell.onPopUp = nullptr;
    settings.setPresets({{Uuid::random(), "", 800, 600}, {Uuid::random(), "Big", -1, 1}});
    delegate.showPresetMenu();
    EXPECT_EQ(shell.poppedUpMenus.back()[0].title + shell.poppedUpMenus.back()[1].title,
              " (800 \u00D7 600)Big (-1 \u00D7 1)");
    settings.setPresets({});
    shell.translations["No presets configured"] = "プリセットが設定されていません";
    delegate.showPresetMenu();
    ASSERT_EQ(shell.poppedUpMenus.back().size(), 1u);
    EXPECT_EQ(shell.poppedUpMenus.back()[0].title, "プリセットが設定されていません");
    EXPECT_FALSE(shell.poppedUpMenus.back()[0].enabled);

    const auto shown = shell.poppedUpMenus.size();
    desktop.frontmost.reset();
    delegate.showPresetMenu();
    desktop.frontmost = 1;
    desktop.focused.clear();
    delegate.showPresetMenu();
    EXPECT_EQ(shell.poppedUpMenus.size(), shown)
        << "nothing in front, or no focused window: no menu";

    // Every shortcut value replaces the hot key.
    const ShortcutSpec controlShiftK{40, 0x1200, "\u2303\u21E7K"};
    settings.setPresetMenuShortcut(controlShiftK);
    settings.setPresetMenuShortcut(controlShiftK);
    using Registered = std::map<std::uint32_t, test::FakeHotKeys::Combination>;
    EXPECT_EQ(hotKeyPlatform.registered, (Registered{{3, {40, 0x1200}}}));

    hotKeyPlatform.taken.insert({1, 0x0100});
    settings.setPresetMenuShortcut(ShortcutSpec{1, 0x0100, "\u2318S"});
    EXPECT_TRUE(!delegate.presetHotKey() && shell.prompts == 0) << "refused: no key, no dialog";
    settings.setPresetMenuShortcut(std::nullopt);
    EXPECT_TRUE(!delegate.presetHotKey() && hotKeyPlatform.registered.empty());
}

} // namespace
} // namespace nivu
