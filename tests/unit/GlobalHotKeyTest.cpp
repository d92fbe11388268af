// The hot-key registry: ids, the one handler, refusals, unregistering and presses.
#include "input/GlobalHotKey.h"

#include "FakeHotKeys.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

class GlobalHotKeyTest : public ::testing::Test {
protected:
    std::unique_ptr<GlobalHotKey> make(std::uint32_t key, std::function<void()> action = {}) {
        return GlobalHotKey::create(registry, key, 0x0900, std::move(action));
    }
    int count(const std::string& call) const {
        return static_cast<int>(std::count(platform.journal.begin(), platform.journal.end(), call));
    }

    test::FakeHotKeys platform;
    HotKeyRegistry registry{platform};
};

TEST_F(GlobalHotKeyTest, IdsAdvanceByOneEvenPastARefusalAndTheHandlerIsInstalledOnce) {
    platform.taken.insert({15, 0x0900});
    auto first = make(1);
    auto refused = make(15);
    auto third = make(2);

    ASSERT_TRUE(first && third);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(first->id(), 1u);
    EXPECT_EQ(third->id(), 3u) << "the refused construction used id 2 up";
    EXPECT_EQ(registry.nextID(), 4u);
    EXPECT_FALSE(registry.hasHandler(2)) << "a refusal leaves no action behind";
    EXPECT_EQ(count("install handler"), 1);
    EXPECT_EQ(platform.journal.front(), "install handler") << "installed before registering";
}

TEST_F(GlobalHotKeyTest, AFailedHandlerInstallationIsTriedAgainAtTheNextConstruction) {
    platform.refuseHandler = true;
    auto first = make(1);
    EXPECT_TRUE(first) << "the registration goes on without the handler";
    platform.refuseHandler = false;
    auto second = make(2);
    auto third = make(3);
    EXPECT_EQ(count("install handler"), 2);
    EXPECT_TRUE(registry.eventHandlerInstalled());
}

TEST_F(GlobalHotKeyTest, UnregisteringTwiceOrThenDestroyingAsksThePlatformOnce) {
    auto hotKey = make(1);
    hotKey->unregister();
    hotKey->unregister();
    hotKey.reset();
    EXPECT_EQ(count("unregister 1"), 1);
    EXPECT_FALSE(registry.hasHandler(1));

    make(2).reset(); // dropped without unregister(): destruction unregisters
    EXPECT_EQ(count("unregister 2"), 1);
    EXPECT_TRUE(platform.registered.empty());
}

TEST_F(GlobalHotKeyTest, PressesRunOnlyTheirOwnActionFoundById) {
    std::vector<std::string> ran;
    auto a = make(1, [&] { ran.push_back("a"); });
    auto b = make(2, [&] { ran.push_back("b"); });
    platform.press(2);
    platform.press(1, /*signature=*/0); // the signature is not compared
    platform.press(99);
    b->unregister();
    platform.press(2); // queued just before unregister: nothing
    EXPECT_EQ(ran, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(registry.handleHotKeyEvent(nullptr), 0);
}

TEST_F(GlobalHotKeyTest, AnActionMayUnregisterItselfAndRegisterAnother) {
    std::unique_ptr<GlobalHotKey> replacement;
    std::unique_ptr<GlobalHotKey> hotKey;
    hotKey = make(1, [&] {
        hotKey.reset();
        replacement = make(2, [] {});
    });
    platform.press(1);
    EXPECT_EQ(hotKey, nullptr);
    ASSERT_TRUE(replacement);
    EXPECT_EQ(replacement->id(), 2u);
}

TEST_F(GlobalHotKeyTest, TestingAFreeCombinationLeavesNothingBehind) {
    auto probe = make(5, [] {});
    ASSERT_TRUE(probe);
    probe->unregister();
    probe.reset();
    EXPECT_TRUE(platform.registered.empty());
    EXPECT_FALSE(registry.hasHandler(1));
}

} // namespace
} // namespace nivu
