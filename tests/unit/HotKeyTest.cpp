// The hot-key registry on a fake hot-key platform: ids, refusals, and which action a press runs.
#include "FakeHotKeys.h"
#include "Printers.h"
#include "input/GlobalHotKey.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

class HotKeyTest : public ::testing::Test {
protected:
    static void nothing() {}
    std::unique_ptr<GlobalHotKey> make(std::uint32_t key, std::function<void()> action = nothing) {
        return GlobalHotKey::create(registry, key, 0x0900, std::move(action));
    }

    test::FakeHotKeys platform;
    HotKeyRegistry registry{platform};
};

TEST_F(HotKeyTest, IdsAdvancePastRefusalsAndEachPressRunsOnlyItsOwnAction) {
    std::vector<std::string> ran;
    auto a = make(1, [&] { ran.push_back("a"); });
    platform.taken.insert({15, 0x0900});
    EXPECT_EQ(make(15), nullptr);
    auto b = make(2, [&] { ran.push_back("b"); });
    auto c = make(3);
    EXPECT_EQ(platform.handlerInstalls, 1) << "one handler: a press runs its action once";
    EXPECT_EQ(b->id(), 3u) << "the refused construction used id 2 up";
    EXPECT_FALSE(registry.hasHandler(2)) << "a refusal leaves no action behind";

    platform.press(3);
    platform.press(1);
    platform.press(99);
    b->unregister();
    b->unregister();
    platform.press(3); // queued just before unregister: nothing
    EXPECT_EQ(ran, (std::vector<std::string>{"b", "a"}));
    b.reset();
    c.reset(); // destruction unregisters
    EXPECT_EQ(platform.unregistrations, 2);
    EXPECT_EQ(platform.registered.size(), 1u);
}

} // namespace
} // namespace nivu
