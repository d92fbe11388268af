// The hot-key registry and the shortcut recorder on a fake hot-key platform.
#include "FakeHotKeys.h"
#include "Printers.h"
#include "input/GlobalHotKey.h"
#include "ui/ShortcutRecorder.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using enum Modifier;

class HotKeyTest : public ::testing::Test {
protected:
    std::unique_ptr<GlobalHotKey> make(
        std::uint32_t key, std::function<void()> action = [] {}) {
        return GlobalHotKey::create(registry, key, 0x0900, std::move(action));
    }

    test::FakeHotKeys platform;
    HotKeyRegistry registry{platform};
};

TEST_F(HotKeyTest, IdsAdvancePastRefusalsAndEachPressRunsOnlyItsOwnAction) {
    platform.refuseHandler = true;
    std::vector<std::string> ran;
    auto a = make(1, [&] { ran.push_back("a"); });
    EXPECT_TRUE(a) << "the registration goes on without the handler";
    platform.refuseHandler = false;
    platform.taken.insert({15, 0x0900});
    EXPECT_EQ(make(15), nullptr);
    auto b = make(2, [&] { ran.push_back("b"); });
    auto c = make(3);
    EXPECT_EQ(platform.handlerInstalls, 2) << "installed again after a failure, then kept";
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

TEST_F(HotKeyTest, AnActionMayUnregisterItselfAndRegisterAnother) {
    std::unique_ptr<GlobalHotKey> replacement;
    std::unique_ptr<GlobalHotKey> hotKey = make(1, [&] {
        hotKey.reset();
        replacement = make(2);
    });
    platform.press(1);
    EXPECT_EQ(hotKey, nullptr);
    ASSERT_TRUE(replacement);
    EXPECT_EQ(platform.registered.size(), 1u);
}

class FakeKeyMonitors final : public KeyDownMonitors {
public:
    std::optional<Subscription>
    addLocalKeyDownMonitor(std::function<bool(const KeyDownEvent&)> handler) override {
        if (refuse) {
            return std::nullopt;
        }
        handler_ = std::move(handler);
        return Subscription([this] { handler_ = nullptr; });
    }
    // A key press in one of Nivu's windows; true when something swallowed it.
    bool press(std::uint16_t key, Modifiers modifiers, std::string characters) {
        return handler_ && handler_(KeyDownEvent{key, modifiers, std::move(characters)});
    }
    bool refuse = false;

private:
    std::function<bool(const KeyDownEvent&)> handler_;
};

class ShortcutRecorderTest : public HotKeyTest {
protected:
    FakeKeyMonitors monitors;
    std::optional<ShortcutSpec> shortcut = ShortcutSpec{15, 0x0900, "\u2325\u2318R"};
    ShortcutRecorder recorder{monitors,
                              registry,
                              {[this] { return shortcut; },
                               [this](std::optional<ShortcutSpec> value) { shortcut = value; }},
                              [](const char* key) { return std::string(key); }};
};

TEST_F(ShortcutRecorderTest, KeysWithoutAModifierAreSwallowedAndAFreeCombinationIsTaken) {
    recorder.toggleRecording();
    EXPECT_TRUE(monitors.press(0x00, {}, "a")) << "never reaches a field";
    EXPECT_TRUE(recorder.isRecording());
    EXPECT_EQ(platform.registrationAttempts, 0) << "no trial without a modifier";

    EXPECT_TRUE(monitors.press(0x00, {shift}, "a"));
    EXPECT_EQ(shortcut, (ShortcutSpec{0x00, 0x0200, "\u21E7A"})) << "Shift alone counts";
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_FALSE(monitors.press(0x00, {command}, "a")) << "the monitor goes with the recording";
    EXPECT_TRUE(platform.registered.empty()) << "the trial leaves nothing registered";

    monitors.refuse = true;
    recorder.toggleRecording();
    EXPECT_TRUE(recorder.isRecording()) << "without a monitor it still shows that it records";
    recorder.stopRecording();
    EXPECT_FALSE(recorder.isRecording());
}

TEST_F(ShortcutRecorderTest, ATakenCombinationIsRefusedEvenWhenNivuHoldsIt) {
    auto inForce = make(15);
    platform.taken.insert({15, 0x0900});
    recorder.startRecording();
    monitors.press(15, {option, command}, "r");
    EXPECT_TRUE(recorder.errorMessage());
    recorder.startRecording();
    monitors.press(17, {option, command}, "t");
    EXPECT_EQ(shortcut->displayString, "\u2325\u2318T");
    EXPECT_TRUE(inForce->isRegistered());
}

TEST_F(ShortcutRecorderTest, TheShortcutInForceShowsAConflictWhileAnotherProgramHasTakenIt) {
    auto inForce = make(15);
    int shown = 0;
    recorder.onChange = [&] { ++shown; };
    const HotKeyIdentifier identifier{HotKeyRegistry::signature, inForce->id()};
    platform.holding.emit(identifier, false);
    EXPECT_EQ(recorder.errorMessage(), ShortcutRecorder::conflictMessage);
    EXPECT_EQ(shown, 1) << "the field is told";
    platform.holding.emit(identifier, true);
    EXPECT_FALSE(recorder.errorMessage()) << "given back";
    platform.holding.emit(identifier, false);
    inForce.reset();
    EXPECT_FALSE(recorder.errorMessage()) << "no longer registered: nothing is lost";
}

} // namespace
} // namespace nivu
