// The shortcut recorder: what is recorded, what is ignored, conflicts, clearing and the label.
#include "ui/ShortcutRecorder.h"

#include "FakeHotKeys.h"
#include "Printers.h"

#include <gtest/gtest.h>

namespace nivu {
namespace {

using namespace modifier_flag;

class FakeKeyMonitors final : public KeyDownMonitors {
public:
    std::optional<Subscription>
    addLocalKeyDownMonitor(std::function<bool(const KeyDownEvent&)> handler) override {
        ++installed;
        if (refuse) {
            return std::nullopt;
        }
        handler_ = std::move(handler);
        return Subscription([this] { handler_ = nullptr; });
    }
    // A key press in one of Nivu's windows; true when something swallowed it.
    bool press(std::uint16_t key, std::uint32_t flags, std::string characters) {
        return handler_ && handler_(KeyDownEvent{key, flags, std::move(characters)});
    }
    bool active() const { return static_cast<bool>(handler_); }

    int installed = 0;
    bool refuse = false;

private:
    std::function<bool(const KeyDownEvent&)> handler_;
};

class ShortcutRecorderTest : public ::testing::Test {
protected:
    FakeKeyMonitors monitors;
    test::FakeHotKeys platform;
    HotKeyRegistry hotKeys{platform};
    std::optional<ShortcutSpec> shortcut = ShortcutSpec{15, 0x0900, "\u2325\u2318R"};
    ShortcutRecorder recorder{monitors,
                              hotKeys,
                              {[this] { return shortcut; },
                               [this](std::optional<ShortcutSpec> value) { shortcut = value; }},
                              [](const char* key) { return std::string("[") + key + "]"; }};
};

TEST_F(ShortcutRecorderTest, PlainKeysAreSwallowedWhileRecordingAndChangeNothing) {
    recorder.toggleRecording();
    EXPECT_EQ(recorder.labelText(), "キーを押してください（Escでキャンセル）");
    EXPECT_STREQ(recorder.recordButtonTitleKey(), "キャンセル");
    EXPECT_FALSE(recorder.labelIsPrimary());

    EXPECT_TRUE(monitors.press(0x00, 0x10000 /* Caps Lock */, "a")) << "never reaches a field";
    EXPECT_TRUE(recorder.isRecording());
    EXPECT_EQ(shortcut->displayString, "\u2325\u2318R");
    EXPECT_TRUE(platform.journal.empty()) << "no trial without a modifier";
}

TEST_F(ShortcutRecorderTest, ShiftAloneCountsAndTheTrialLeavesNothingRegistered) {
    recorder.startRecording();
    EXPECT_TRUE(monitors.press(0x00, shift, "a"));
    EXPECT_EQ(shortcut, (ShortcutSpec{0x00, 0x0200, "\u21E7A"}));
    EXPECT_FALSE(recorder.isRecording());
    EXPECT_FALSE(monitors.active()) << "the monitor goes with the recording";
    EXPECT_TRUE(platform.registered.empty());
    EXPECT_FALSE(hotKeys.hasHandler(1));
    EXPECT_TRUE(recorder.labelIsPrimary());
}

TEST_F(ShortcutRecorderTest, StoppingRemovesTheMonitorAndANoMonitorPlatformStillShowsRecording) {
    recorder.startRecording();
    recorder.stopRecording(); // the window closed
    EXPECT_FALSE(monitors.active());
    EXPECT_FALSE(monitors.press(0x00, command, "a")) << "keys are delivered normally again";

    monitors.refuse = true;
    recorder.toggleRecording();
    EXPECT_TRUE(recorder.isRecording());
    EXPECT_FALSE(recorder.hasMonitor());
    recorder.toggleRecording();
    EXPECT_FALSE(recorder.isRecording());
}

TEST_F(ShortcutRecorderTest, ARecordedShortcutIsTakenEvenWhenItIsTheOneInForce) {
    // The combination Nivu holds for the menu is refused by the platform, like any other taken
    // one; a different one is accepted alongside it.
    auto inForce = GlobalHotKey::create(hotKeys, 15, 0x0900, [] {});
    platform.taken.insert({15, 0x0900});
    recorder.startRecording();
    monitors.press(15, option | command, "r");
    EXPECT_TRUE(recorder.errorMessage());
    recorder.startRecording();
    monitors.press(17, option | command, "t");
    EXPECT_EQ(shortcut->displayString, "\u2325\u2318T");
    EXPECT_TRUE(inForce->isRegistered());
}

} // namespace
} // namespace nivu
