// Signals and their subscription tokens.
#include "common/Signal.h"

#include <gtest/gtest.h>
#include <optional>

namespace nivu {
namespace {

TEST(SignalTest, TokensDisconnectAndSlotsMayChangeTheConnectionsWhileCalled) {
    Signal<int> signal;
    std::vector<int> seen;
    std::optional<Subscription> later;
    std::optional<Subscription> added;
    auto first = signal.connect([&](int v) {
        seen.push_back(v);
        later.reset(); // not called afterwards in this emission
        if (!added) {
            added = signal.connect([&](int w) { seen.push_back(w * 100); });
        }
    });
    later = signal.connect([&](int v) { seen.push_back(v * 10); });
    signal.emit(1);
    Subscription moved = std::move(first);
    signal.emit(2);
    moved.cancel();
    added.reset();
    signal.emit(3);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 200}));
    EXPECT_EQ(signal.connectionCount(), 0u);
}

} // namespace
} // namespace nivu
