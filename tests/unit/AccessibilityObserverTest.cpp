// The observer on a fake desktop and a virtual clock: which application it follows, the order of
// its platform calls, its filters and the delay of created-window events.
#include "accessibility/AccessibilityObserver.h"

#include "FakeDesktop.h"
#include "Printers.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using test::FakeWindow;
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

    std::vector<std::string> journalSince(std::size_t mark) const {
        return {desktop.journal.begin() + static_cast<std::ptrdiff_t>(mark), desktop.journal.end()};
    }

    test::FakeDesktop desktop;
    test::VirtualClock clock;
    std::unique_ptr<AccessibilityObserver> observer =
        std::make_unique<AccessibilityObserver>(desktop, clock);
    std::vector<Info> resizes;
    std::vector<AccessibilityObserver::CreatedWindowInfo> creations;
};

TEST_F(AccessibilityObserverTest, StartingTwiceLeavesOneRegistrationOfEachKind) {
    observer->start();
    observer->start();

    EXPECT_EQ(desktop.activationObserverCount(), 1u);
    EXPECT_EQ(observer->observedPID(), 1);
    auto window = desktop.addWindow(1);
    desktop.notify(window, resized);
    EXPECT_EQ(resizes.size(), 1u);

    observer->stop();
    observer->stop();
    EXPECT_EQ(desktop.activationObserverCount(), 0u);
    desktop.notify(window, resized);
    EXPECT_EQ(resizes.size(), 1u);
}

TEST_F(AccessibilityObserverTest, SwitchingApplicationsReleasesTheOldBeforeCreatingTheNew) {
    observer->start();
    const auto mark = desktop.journal.size();

    desktop.activate(1);
    EXPECT_EQ(journalSince(mark), std::vector<std::string>{}) << "re-activation costs nothing";

    desktop.activate(2);
    EXPECT_EQ(
        journalSince(mark),
        (std::vector<std::string>{"remove AXWindowResized 1", "remove AXWindowCreated 1",
                                  "detach 1", "release observer 1", "create observer 2",
                                  "add AXWindowResized 2", "add AXWindowCreated 2", "attach 2"}));
    EXPECT_EQ(observer->observedPID(), 2);

    desktop.notify(desktop.addWindow(1), resized);
    EXPECT_TRUE(resizes.empty()) << "background applications produce no events";
}

TEST_F(AccessibilityObserverTest, RefusalsLeaveNothingObservedAndTheNextActivationRetries) {
    desktop.addApplication(3, "stubborn").refusesObserver = true;
    desktop.addApplication(4, "deaf").refusesResized = true;
    desktop.frontmost = 3;
    observer->start();
    EXPECT_EQ(observer->observedPID(), std::nullopt);

    desktop.activate(3);
    EXPECT_EQ(std::count(desktop.journal.begin(), desktop.journal.end(), "create observer 3"), 2);

    desktop.activate(4);
    EXPECT_EQ(observer->observedPID(), std::nullopt);
    EXPECT_EQ(desktop.journal.back(), "release observer 4");

    desktop.addApplication(5, "half").refusesCreated = true;
    desktop.activate(5);
    EXPECT_EQ(observer->observedPID(), 5) << "a refused created notification keeps resizes";
    desktop.notify(desktop.addWindow(5), resized);
    EXPECT_EQ(resizes.size(), 1u);
}

TEST_F(AccessibilityObserverTest, WithoutAFrontmostApplicationTheFirstActivationIsObserved) {
    desktop.frontmost.reset();
    observer->start();
    EXPECT_EQ(observer->observedPID(), std::nullopt);
    desktop.activate(2);
    EXPECT_EQ(observer->observedPID(), 2);
}

TEST_F(AccessibilityObserverTest, ResizesAreReportedAtOnceForEveryEventWithCurrentAttributes) {
    observer->start();
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
}

TEST_F(AccessibilityObserverTest, ResizesOfDialogsFixedOrVanishedWindowsAreDropped) {
    observer->start();
    auto dialog = desktop.addWindow(1);
    dialog->subrole = "AXDialog";
    auto fixed = desktop.addWindow(1);
    fixed->sizeSettable = false;
    auto unsized = desktop.addWindow(1);
    unsized->size.reset();
    auto gone = desktop.addWindow(1);
    gone->exists = false;

    for (const auto& window : {dialog, fixed, gone}) {
        desktop.notify(window, resized);
        desktop.notify(window, created);
    }
    desktop.notify(unsized, resized);
    clock.advance(1s);
    EXPECT_TRUE(resizes.empty());
    EXPECT_TRUE(creations.empty());
}

TEST_F(AccessibilityObserverTest, CreatedWindowsAreExaminedAndReportedExactlyAfterTheDelay) {
    observer->start();
    auto window = desktop.addWindow(1);
    window->subrole = "AXUnknown"; // becomes standard while its client sets it up
    window->identifier.reset();

    desktop.notify(window, created);
    desktop.addApplication(1, "Renamed");
    window->subrole = "AXStandardWindow";
    window->identifier = "role";
    clock.advance(199ms);
    EXPECT_TRUE(creations.empty());
    clock.advance(1ms);

    ASSERT_EQ(creations.size(), 1u);
    EXPECT_EQ(creations[0].element, window);
    EXPECT_EQ(creations[0].bundleIdentifier, "XTerm") << "resolved when the notification came";
    EXPECT_EQ(creations[0].windowIdentifier, "role") << "read after the delay";

    auto late = desktop.addWindow(1);
    late->subrole = "AXDialog";
    desktop.notify(late, created);
    clock.advance(200ms);
    late->subrole = "AXStandardWindow";
    EXPECT_EQ(creations.size(), 1u) << "standard only after the delay: not reported";
}

TEST_F(AccessibilityObserverTest, PendingCreatedEventsSurviveStopButNotTheObserver) {
    observer->start();
    auto first = desktop.addWindow(1);
    desktop.notify(first, created);
    desktop.activate(2);
    observer->stop();
    clock.advance(200ms);
    ASSERT_EQ(creations.size(), 1u) << "neither stop nor a new application cancels the task";
    EXPECT_EQ(creations[0].bundleIdentifier, "XTerm");

    observer->start();
    desktop.notify(desktop.addWindow(2), created);
    observer.reset();
    clock.advance(200ms);
    EXPECT_EQ(creations.size(), 1u);
}

TEST_F(AccessibilityObserverTest, AbsentCallbacksDropEventsAfterFiltering) {
    observer->onWindowResized = nullptr;
    observer->onWindowCreated = nullptr;
    observer->start();
    auto window = desktop.addWindow(1);
    desktop.notify(window, resized);
    desktop.notify(window, created);
    clock.advance(1s);
    EXPECT_TRUE(resizes.empty());
    EXPECT_TRUE(creations.empty());
}

} // namespace
} // namespace nivu
