// The observer on a fake desktop and a virtual clock: which application it follows, its
// filters, and the delay of created-window events.
#include "accessibility/AccessibilityObserver.h"

#include "FakeDesktop.h"
#include "Printers.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using Info = AccessibilityObserver::ResizedWindowInfo;
using namespace std::chrono_literals;
constexpr auto resized = WindowNotification::windowResized;
constexpr auto created = WindowNotification::windowCreated;

class AccessibilityObserverTest : public ::testing::Test {
protected:
    AccessibilityObserverTest() {
        desktop.addApplication(1, "XTerm");
        desktop.addApplication(2, "firefox");
        observer->onWindowResized = [this](const Info& info) { resizes.push_back(info); };
        observer->onWindowCreated = [this](const auto& info) { creations.push_back(info); };
    }

    test::FakeDesktop desktop;
    test::VirtualClock clock;
    std::unique_ptr<AccessibilityObserver> observer =
        std::make_unique<AccessibilityObserver>(desktop, clock);
    std::vector<Info> resizes;
    std::vector<AccessibilityObserver::CreatedWindowInfo> creations;
};

TEST_F(AccessibilityObserverTest, EveryResizeOfTheFrontmostApplicationsStandardWindowsCounts) {
    observer->start();
    EXPECT_EQ(observer->observedPID(), std::nullopt) << "nothing in front yet";
    desktop.activate(1);
    observer->start();
    desktop.activate(1);
    EXPECT_EQ(desktop.activations.connectionCount(), 1u) << "starting twice registers once";
    EXPECT_EQ(desktop.observersCreated, 2) << "re-activation costs nothing";
    auto window = desktop.addWindow(1);
    window->identifier = "main";
    for (int i = 0; i < 50; ++i) {
        window->size = Size{640.0 + i, 480};
        desktop.notify(window, resized);
    }
    ASSERT_EQ(resizes.size(), 50u) << "no coalescing or throttling";
    EXPECT_EQ(resizes.back(), (Info{{689, 480}, "XTerm", "main"}));
    window->identifier = "";
    desktop.addApplication(1, std::nullopt);
    desktop.notify(window, resized);
    EXPECT_EQ(resizes.back(), (Info{{689, 480}, std::nullopt, ""}));

    // Vanished, fixed-size and other kinds of windows are dropped; unsized ones when resized.
    auto unsized = desktop.addWindow(1);
    unsized->size.reset();
    auto gone = desktop.addWindow(1);
    gone->exists = false;
    auto fixed = desktop.addWindow(1);
    fixed->sizeSettable = false;
    auto utility = desktop.addWindow(1); // a toolbar or splash screen
    utility->subrole = WindowSubrole::unknown;
    desktop.notify(utility, resized);
    desktop.notify(fixed, resized);
    desktop.notify(fixed, created);
    desktop.notify(unsized, resized);
    desktop.notify(gone, resized);
    desktop.notify(gone, created);
    clock.advance(1s);
    EXPECT_EQ(resizes.size(), 51u);
    EXPECT_TRUE(creations.empty());

    observer->stop();
    observer->stop();
    EXPECT_EQ(desktop.activations.connectionCount(), 0u);
    observer->onWindowResized = [this](const Info& info) { resizes.push_back(info); };
    desktop.notify(window, resized);
    EXPECT_EQ(resizes.size(), 51u);
}

TEST_F(AccessibilityObserverTest, CreatedWindowsAreExaminedAndReportedExactlyAfterTheDelay) {
    desktop.frontmost = 1;
    observer->start();
    auto window = desktop.addWindow(1);
    window->subrole = WindowSubrole::unknown; // becomes standard while its client sets it up
    desktop.notify(window, created);
    window->bundle = "Renamed"; // its class named only after it was mapped
    window->subrole = WindowSubrole::standardWindow;
    window->identifier = "role";
    clock.advance(199ms);
    EXPECT_TRUE(creations.empty());
    clock.advance(1ms);
    ASSERT_EQ(creations.size(), 1u);
    EXPECT_EQ(creations[0].element, window);
    EXPECT_EQ(creations[0].bundleIdentifier, "Renamed") << "the id it has once it settles";
    EXPECT_EQ(creations[0].windowIdentifier, "role") << "read after the delay";

    auto late = desktop.addWindow(1);
    late->subrole = WindowSubrole::dialog;
    desktop.notify(late, created);
    clock.advance(200ms);
    late->subrole = WindowSubrole::standardWindow;
    EXPECT_EQ(creations.size(), 1u) << "standard only after the delay: not reported";

    // Neither stop nor a new application cancels a pending report; destroying the observer does.
    desktop.notify(desktop.addWindow(1), created);
    desktop.activate(2);
    observer->stop();
    clock.advance(200ms);
    EXPECT_EQ(creations.size(), 2u);
    observer->start();
    desktop.notify(desktop.addWindow(2), created);
    observer.reset();
    clock.advance(200ms);
    EXPECT_EQ(creations.size(), 2u);
}

} // namespace
} // namespace nivu
