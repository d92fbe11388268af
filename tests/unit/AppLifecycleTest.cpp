// The controller's start-up and shut-down orders, the permission flow and the status menu, on
// fakes that note every call in one shared journal.
#include "FakeApp.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace std::chrono_literals;
using Journal = std::vector<std::string>;

// The journal comes first so that the fakes can note into it from their construction on.
struct Journaled {
    Journal journal;
};

class AppLifecycleTest : public ::testing::Test, protected Journaled, protected test::FakeApp {
protected:
    AppLifecycleTest()
        : test::FakeApp(journal) {
        desktop.addApplication(1, "XTerm");
        desktop.frontmost = 1;
    }

    void launch() { delegate.applicationDidFinishLaunching(); }
    Journal since(std::size_t from) const {
        return {journal.begin() + static_cast<std::ptrdiff_t>(from), journal.end()};
    }
    const MenuEntry& grantEntry() const { return shell.statusItem.menu.at(0); }
};

TEST_F(AppLifecycleTest, LaunchSetsEverythingUpAndQuittingStopsItAllRecordingNothing) {
    launch();
    EXPECT_EQ(shell.statusItem.image, "MenuBarIcon");
    EXPECT_EQ(shell.statusItem.accessibilityDescription, "Nivu");
    ASSERT_NE(delegate.presetHotKey(), nullptr);
    EXPECT_EQ(hotKeyPlatform.registered.size(), 1u);
    EXPECT_EQ(delegate.accessibilityObserver().observedPID(), 1);
    delegate.handleResize({{800, 600}, "XTerm", std::nullopt});
    ASSERT_GT(pointer.monitorCount(), 0u);

    delegate.applicationWillTerminate();

    EXPECT_FALSE(delegate.accessibilityObserver().isStarted());
    EXPECT_EQ(desktop.activationObserverCount(), 0u);
    EXPECT_EQ(pointer.monitorCount(), 0u);
    EXPECT_TRUE(hotKeyPlatform.registered.empty()) << "the combination is free for others";
    clock.advance(5s);
    pointer.release();
    EXPECT_TRUE(memory.records.empty()) << "a live resize cut short by quitting is not stored";
}

TEST_F(AppLifecycleTest, WithAccessTheGrantEntryIsHiddenAndNothingPolls) {
    launch();
    EXPECT_TRUE(grantEntry().hidden);
    EXPECT_FALSE(delegate.isPollingPermission());
    EXPECT_TRUE(delegate.accessibilityObserver().isStarted());
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "accessibility prompt"), 0);
}

TEST_F(AppLifecycleTest, WithoutAccessItExplainsOncePollsEverySecondAndStartsWhenItArrives) {
    desktop.permission = false;
    launch();
    EXPECT_FALSE(grantEntry().hidden);
    EXPECT_FALSE(delegate.accessibilityObserver().isStarted());
    EXPECT_TRUE(delegate.isPollingPermission());
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "accessibility prompt"), 1);

    clock.advance(3s);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "permission?"), 2 + 3);
    shell.statusItem.menu[0].action(); // "Grant Accessibility Access…"
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "accessibility prompt"), 2);
    EXPECT_TRUE(delegate.isPollingPermission()) << "the entry neither starts nor stops polling";

    desktop.permission = true;
    const auto before = journal.size();
    clock.advance(999ms);
    EXPECT_FALSE(delegate.accessibilityObserver().isStarted());
    clock.advance(1ms);
    EXPECT_EQ(since(before),
              (Journal{"permission?", "stop timer 1000ms", "hide entry 0", "observe activations",
                       "create observer 1", "add AXWindowResized 1", "add AXWindowCreated 1",
                       "attach 1", "watch access loss"}));
    EXPECT_TRUE(grantEntry().hidden);

    desktop.permission = false; // withdrawn later: not tested again
    clock.advance(5s);
    EXPECT_FALSE(delegate.isPollingPermission());
    EXPECT_TRUE(grantEntry().hidden);
}

TEST_F(AppLifecycleTest, LosingTheWindowManagerGoesBackToWaitingUntilItReturns) {
    launch();
    desktop.loseAccess();
    EXPECT_FALSE(grantEntry().hidden) << "the grant entry shows again";
    EXPECT_FALSE(delegate.accessibilityObserver().isStarted());
    EXPECT_TRUE(delegate.isPollingPermission());
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "accessibility prompt"), 0)
        << "no dialog for a window manager that is restarting";

    desktop.permission = true;
    clock.advance(1s);
    EXPECT_TRUE(grantEntry().hidden);
    EXPECT_TRUE(delegate.accessibilityObserver().isStarted());
    EXPECT_FALSE(delegate.isPollingPermission());
    EXPECT_EQ(journal.back(), "watch access loss") << "and watches again";
}

TEST_F(AppLifecycleTest, StatusMenuHasItsSevenEntriesWithKeysCommentsAndActions) {
    shell.translations["Quit Nivu"] = "Nivu を終了";
    launch();
    const Menu& menu = shell.statusItem.menu;
    ASSERT_EQ(menu.size(), 7u);
    EXPECT_EQ(menu[0].title, "Grant Accessibility Access\u2026");
    EXPECT_TRUE(menu[1].isSeparator);
    EXPECT_FALSE(menu[1].hidden) << "the separator after the hidden entry stays";
    EXPECT_EQ(menu[2].title, "Settings\u2026");
    EXPECT_EQ(menu[2].keyEquivalent, ",");
    EXPECT_TRUE(menu[3].isSeparator);
    EXPECT_EQ(menu[4].title, "About Nivu");
    EXPECT_EQ(menu[4].keyEquivalent, "");
    EXPECT_TRUE(menu[5].isSeparator);
    EXPECT_EQ(menu[6].title, "Nivu を終了") << "titles are looked up";
    EXPECT_EQ(menu[6].keyEquivalent, "q");
    EXPECT_EQ(shell.comments["Settings\u2026"], "設定を開くメニュー項目");
    EXPECT_EQ(shell.comments["Grant Accessibility Access\u2026"],
              "アクセシビリティ権限を要求するメニュー項目");

    menu[4].action();
    menu[6].action();
    EXPECT_EQ(since(journal.size() - 2), (Journal{"about panel", "terminate"}));
}

} // namespace
} // namespace nivu
