// The scheduler on Qt's event loop: timers that repeat until cancelled, delayed tasks that run
// once, and a cancel that stops its own timer only, though Qt hands a fired timer's id to the
// next one.
#include "qt/QtScheduler.h"

#include <QTest>
#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace std::chrono_literals;

TEST(QtSchedulerTest, TimersRepeatUntilCancelledAndACancelStopsOnlyItsOwnTimer) {
    QtScheduler scheduler;
    int repeats = 0;
    bool fired = false;
    bool newerFired = false;
    int later = 0;
    bool done = false;
    auto repeating = scheduler.startTimer(2ms, /*repeats=*/true, [&] { ++repeats; });
    auto once = scheduler.startTimer(1ms, /*repeats=*/false, [&] { fired = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired && repeats >= 3; }));
    auto newer = scheduler.startTimer(1ms, /*repeats=*/false, [&] { newerFired = true; });
    once.cancel(); // after it fired: the newer timer may carry its Qt id now
    repeating.cancel();
    const int seen = repeats;
    EXPECT_TRUE(QTest::qWaitFor([&] { return newerFired; }));
    scheduler.runAfter(1ms, [&] { ++later; });
    scheduler.runAfter(20ms, [&] { done = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }));
    EXPECT_EQ(later, 1) << "once";
    EXPECT_EQ(repeats, seen) << "a cancelled timer never fires again";
}

} // namespace
} // namespace nivu
