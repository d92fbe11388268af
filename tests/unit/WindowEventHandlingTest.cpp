// The controller's window-event handling on fakes and a virtual clock: live resizes with the
// badge, recording once per live resize, restoring sizes, and shut-down in the middle of it.
#include "FakeApp.h"
#include "Printers.h"
#include "TemporaryDirectory.h"
#include "memory/WindowSizeMemory.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace std::chrono_literals;
using Info = AppDelegate::ResizedWindowInfo;
using Record = test::RecordingSizeMemory::Record;

class WindowEventHandlingTest : public ::testing::Test, protected test::FakeApp {
protected:
    WindowEventHandlingTest() {
        desktop.addApplication(1, "XTerm");
        desktop.frontmost = 1;
        delegate.applicationDidFinishLaunching();
    }

    Info resize(double width, double height, std::optional<std::string> bundle = "XTerm") {
        return Info{{width, height}, std::move(bundle), std::nullopt};
    }
};

TEST_F(WindowEventHandlingTest, OneDragShowsTheBadgeFollowsEveryEventAndRecordsOnceAtMouseUp) {
    EXPECT_EQ(shell.indicatorViewsCreated, 0) << "the badge is made on first use";
    for (int i = 0; i < 40; ++i) {
        delegate.handleResize(resize(800 + i * 2.5, 600));
        pointer.drag({500.0 + i, 400.0 - i});
        clock.advance(16ms);
    }
    EXPECT_TRUE(shell.indicator.visible);
    EXPECT_EQ(shell.indicator.orderFrontCount, 1);
    EXPECT_EQ(shell.indicator.texts.back(), "898 \u00D7 600") << "897.5 rounds away from zero";
    EXPECT_EQ(shell.indicator.frameOrigin, (Point{555, 317})) << "follows the last drag";
    EXPECT_TRUE(memory.records.empty()) << "the store is not touched during the drag";

    pointer.release();

    EXPECT_FALSE(shell.indicator.visible);
    EXPECT_EQ(memory.records, (std::vector<Record>{{{897.5, 600}, "XTerm", std::nullopt}}));
    EXPECT_EQ(pointer.monitorCount(), 0u) << "the mouse monitor runs only during a live resize";
    clock.advance(1s);
    EXPECT_EQ(memory.records.size(), 1u) << "the idle timer was cancelled at the mouse-up";
}

TEST_F(WindowEventHandlingTest, ResizesWithoutAMouseEndHalfASecondAfterTheLastEvent) {
    delegate.handleResize(resize(700, 500));
    clock.advance(300ms);
    delegate.handleResize(resize(710, 500));
    clock.advance(499ms);
    EXPECT_TRUE(delegate.liveResize().isResizing());
    clock.advance(1ms);
    EXPECT_FALSE(delegate.liveResize().isResizing());
    EXPECT_EQ(memory.records, (std::vector<Record>{{{710, 500}, "XTerm", std::nullopt}}));
}

TEST_F(WindowEventHandlingTest, HoldingStillEndsTheLiveResizeAndFurtherDraggingStartsANewOne) {
    delegate.handleResize(resize(700, 500));
    clock.advance(600ms);
    ASSERT_EQ(memory.records.size(), 1u);
    pointer.release(); // the mouse-up of the same drag, after the idle end: nothing happens
    EXPECT_EQ(memory.records.size(), 1u);

    delegate.handleResize(resize(750, 520));
    EXPECT_EQ(shell.indicator.orderFrontCount, 2);
    pointer.release();
    EXPECT_EQ(memory.records.back(), (Record{{750, 520}, "XTerm", std::nullopt}));
    EXPECT_EQ(memory.records.size(), 2u);
}

TEST_F(WindowEventHandlingTest, EveryResizeShowsTheBadgeButOnlyIdentifiedOnesAreRecorded) {
    delegate.handleResize(resize(640, 480, std::nullopt));
    EXPECT_TRUE(shell.indicator.visible);
    pointer.release();
    EXPECT_TRUE(memory.records.empty()) << "no bundle identifier, no record";

    delegate.handleResize(Info{{641, 481}, "firefox", "browser"});
    pointer.release();
    EXPECT_EQ(memory.records, (std::vector<Record>{{{641, 481}, "firefox", "browser"}}))
        << "the store, not the controller, decides about tracking";
}

TEST_F(WindowEventHandlingTest, BadgeStandsBesideThePointerReadWhenTheEventArrives) {
    pointer.location = {500, 400};
    delegate.handleResize(resize(1280, 720));
    EXPECT_EQ(shell.indicator.frameOrigin, (Point{516, 356}));
    delegate.followPointer({10, 10});
    EXPECT_EQ(shell.indicator.frameOrigin, (Point{26, -34})) << "no clamping to the screen";
}

TEST_F(WindowEventHandlingTest, MouseUpOutsideALiveResizeDoesNothing) {
    delegate.endResize();
    pointer.release();
    EXPECT_TRUE(memory.records.empty());
    EXPECT_EQ(shell.indicatorViewsCreated, 0);
}

TEST_F(WindowEventHandlingTest, RememberedSizeIsWrittenFiftyMillisecondsAfterTheCreatedEvent) {
    memory.sizes[{"XTerm", std::nullopt}] = {1024, 768};
    auto first = desktop.addWindow(1);
    auto second = desktop.addWindow(1);
    auto unknown = desktop.addWindow(1);

    delegate.restoreRememberedSize({first, "XTerm", std::nullopt});
    delegate.restoreRememberedSize({second, "XTerm", std::nullopt});
    delegate.restoreRememberedSize({unknown, "XTerm", "other-kind"});
    delegate.restoreRememberedSize({unknown, std::nullopt, std::nullopt});
    memory.sizes.clear(); // looked up at once, when the event arrived
    clock.advance(49ms);
    EXPECT_TRUE(first->writtenSizes.empty());
    clock.advance(1ms);

    EXPECT_EQ(first->writtenSizes, (std::vector<Size>{{1024, 768}}));
    EXPECT_EQ(second->writtenSizes, (std::vector<Size>{{1024, 768}}));
    EXPECT_TRUE(unknown->writtenSizes.empty());
}

TEST_F(WindowEventHandlingTest, CreatedWindowsFromTheObserverAreRestoredAbout250msAfterTheyAppear) {
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

TEST(WindowEventHandlingWithRealStore, UntrackedApplicationsAreShownButNeverWritten) {
    test::TemporaryDirectory home;
    test::writeFile(home.path() / ".nivu" / "config.json",
                    R"({"rememberedSizes": {}, "trackedBundleIdentifiers": ["XTerm"]})");
    WindowSizeMemory store(home.path());
    test::FakeApp app;
    app.sizeMemory = &store;
    auto& delegate = app.delegate;
    auto& pointer = app.pointer;
    delegate.applicationDidFinishLaunching();
    const auto before = test::readFile(store.configFileURL());

    delegate.handleResize({{500, 400}, "firefox", std::nullopt});
    pointer.release();
    EXPECT_EQ(test::readFile(store.configFileURL()), before);

    delegate.handleResize({{500.4, 399.5}, "XTerm", std::nullopt});
    pointer.release();
    EXPECT_EQ(store.rememberedSize("XTerm", std::nullopt), (Size{500, 400}));
}

} // namespace
} // namespace nivu
