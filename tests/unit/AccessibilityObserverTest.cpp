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
        desktop.frontmost = 1;
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

TEST_F(AccessibilityObserverTest, ItFollowsTheFrontmostApplicationAndOnlyIt) {
    desktop.frontmost.reset();
    observer->start();
    EXPECT_EQ(observer->observedPID(), std::nullopt);
    desktop.activate(1);
    observer->start();
    EXPECT_EQ(desktop.activations.connectionCount(), 1u) << "starting twice registers once";
    desktop.activate(1);
    EXPECT_EQ(desktop.observersCreated, 2) << "re-activation costs nothing";
    auto first = desktop.addWindow(1);
    desktop.notify(first, resized);
    EXPECT_EQ(resizes.size(), 1u);

    desktop.activate(2);
    EXPECT_EQ(observer->observedPID(), 2);
    desktop.notify(first, resized);
    desktop.notify(desktop.addWindow(2), resized);
    EXPECT_EQ(resizes.size(), 2u) << "background applications produce no events";

    observer->stop();
    observer->stop();
    EXPECT_EQ(desktop.activations.connectionCount(), 0u);
    desktop.notify(desktop.addWindow(2), resized);
    EXPECT_EQ(resizes.size(), 2u);
}

TEST_F(AccessibilityObserverTest, EveryResizeOfAResizableStandardWindowIsReportedAtOnce) {
    observer->start();
    auto window = desktop.addWindow(1);
    window->identifier = "main";
    for (int i = 0; i < 50; ++i) {
        window->size = Size{640.0 + i, 480};
        desktop.notify(window, resized);
    }
    ASSERT_EQ(resizes.size(), 50u) << "no coalescing or throttling";
    EXPECT_EQ(resizes.back(), (Info{{689, 480}, "XTerm", "main"}));
    window->bundle = "crx_webapp";
    desktop.notify(window, resized);
    EXPECT_EQ(resizes.back().bundleIdentifier, "crx_webapp") << "the class of the window itself";
    window->bundle.reset();
    window->identifier = "";
    desktop.addApplication(1, std::nullopt);
    desktop.notify(window, resized);
    EXPECT_EQ(resizes.back(), (Info{{689, 480}, std::nullopt, ""}));

    // Dialogs, fixed-size, unsized and vanished windows are dropped, created or resized.
    auto dialog = desktop.addWindow(1);
    dialog->subrole = WindowSubrole::dialog;
    auto fixed = desktop.addWindow(1);
    fixed->sizeSettable = false;
    auto unsized = desktop.addWindow(1);
    unsized->size.reset();
    auto gone = desktop.addWindow(1);
    gone->exists = false;
    for (const auto& dropped : {dialog, fixed, gone}) {
        desktop.notify(dropped, resized);
        desktop.notify(dropped, created);
    }
    desktop.notify(unsized, resized);
    observer->onWindowResized = nullptr;
    desktop.notify(window, resized);
    clock.advance(1s);
    EXPECT_EQ(resizes.size(), 52u);
    EXPECT_TRUE(creations.empty());
}

TEST_F(AccessibilityObserverTest, CreatedWindowsAreExaminedAndReportedExactlyAfterTheDelay) {
    observer->start();
    auto window = desktop.addWindow(1);
    window->subrole = WindowSubrole::unknown; // becomes standard while its client sets it up
    desktop.notify(window, created);
    desktop.addApplication(1, "Renamed");
    window->subrole = WindowSubrole::standardWindow;
    window->identifier = "role";
    clock.advance(199ms);
    EXPECT_TRUE(creations.empty());
    clock.advance(1ms);
    ASSERT_EQ(creations.size(), 1u);
    EXPECT_EQ(creations[0].element, window);
    EXPECT_EQ(creations[0].bundleIdentifier, "XTerm") << "resolved when the notification came";
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
