// Signals and their subscription tokens.
#include "common/Signal.h"

#include <gtest/gtest.h>
#include <optional>

namespace nivu {
namespace {

TEST(SignalTest, TokensDisconnectWhenCancelledMovedOrDestroyed) {
    Signal<int> signal;
    std::vector<int> seen;
    auto first = signal.connect([&](int v) { seen.push_back(v); });
    {
        auto second = signal.connect([&](int v) { seen.push_back(v * 10); });
        signal.emit(1);
    }
    signal.emit(2);
    Subscription moved = std::move(first);
    signal.emit(3);
    moved.cancel();
    signal.emit(4);
    EXPECT_EQ(seen, (std::vector<int>{1, 10, 2, 3}));
}

TEST(SignalTest, SlotsMayDisconnectOthersOrConnectWhileBeingCalled) {
    Signal<> signal;
    std::vector<std::string> calls;
    std::optional<Subscription> later;
    Subscription added;
    auto first = signal.connect([&] {
        calls.push_back("first");
        later.reset();
        added = signal.connect([&] { calls.push_back("added"); });
    });
    later = signal.connect([&] { calls.push_back("later"); });
    signal.emit();
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
}

} // namespace
} // namespace nivu
