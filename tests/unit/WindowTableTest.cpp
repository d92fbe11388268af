// The backends' shared window table and notifications, without a display: which windows an
// application that comes to the front reports as new, and to whom.
#include "backend/WindowTable.h"

#include "VirtualClock.h"
#include "backend/WindowNotifications.h"

#include <gtest/gtest.h>

namespace nivu::backend {
namespace {

using namespace std::chrono_literals;
using Clock = WindowNotifications::Clock;

struct Window final : WindowElement {
    explicit Window(WindowKey key)
        : key(key) {}
    const WindowKey key;
};

class WindowTableTest : public ::testing::Test {
protected:
    test::VirtualClock scheduler;
    WindowTable<int> table;
    WindowNotifications notifications{scheduler,
                                      [](WindowKey key) { return std::make_shared<Window>(key); },
                                      [this](ProcessId process, Clock::time_point since) {
                                          return table.recent(process, since);
                                      }};

    // The keys reported as created to a new observer of the application once it attaches;
    // meanwhile runs between the attachment and the main loop's next pass.
    std::vector<WindowKey> createdOnAttach(ProcessId process,
                                           const std::function<void()>& meanwhile = {}) {
        std::vector<WindowKey> created;
        auto observer = notifications.createObserver(
            process, [&](const WindowRef& window, WindowNotification notification) {
                if (notification == WindowNotification::windowCreated) {
                    created.push_back(dynamic_cast<const Window&>(*window).key);
                }
            });
        observer->addNotification(WindowNotification::windowCreated);
        observer->attachToMainLoop();
        if (meanwhile) {
            meanwhile();
        }
        scheduler.advance(0ms);
        return created;
    }
};

TEST_F(WindowTableTest, AnApplicationComingToTheFrontReportsOnlyItsWindowsOfTheLastSecondOnce) {
    const auto now = Clock::now();
    table.add(1, {7, std::nullopt, 0}); // there before the backend started
    table.add(2, {7, now - 200ms, 0});  // new
    table.add(3, {7, now - 3s, 0});     // too old to be the first window of a start
    table.add(4, {8, now - 100ms, 0});  // another application's
    table.add(5, {7, now - 500ms, 0});  // new
    EXPECT_EQ(createdOnAttach(7), (std::vector<WindowKey>{2, 5}));
    EXPECT_EQ(createdOnAttach(8), (std::vector<WindowKey>{4}));

    // The list of managed windows shrinks: the windows gone are no longer reported.
    table.retain([](WindowKey key, const auto&) { return key != 5; });
    EXPECT_EQ(createdOnAttach(7), (std::vector<WindowKey>{2}));
    table.clear(); // the desktop went away
    EXPECT_TRUE(createdOnAttach(7).empty());

    // A window that appears as the application is attached is reported as it appears, once.
    table.add(6, {7, Clock::now(), 0});
    EXPECT_EQ(
        createdOnAttach(7, [&] { notifications.deliver(6, 7, WindowNotification::windowCreated); }),
        (std::vector<WindowKey>{6}));
}

} // namespace
} // namespace nivu::backend
