// The shortcut recorder's logic: recording from the next key press with a modifier, the trial
// registration that detects conflicts, clearing, and what the field shows.
#pragma once

#include "common/Text.h"
#include "input/GlobalHotKey.h"
#include "input/ShortcutSpec.h"
#include "platform/KeyDownMonitors.h"

#include <functional>
#include <optional>
#include <string>

namespace nivu {

class ShortcutRecorder {
public:
    // Shown exactly as written, without a lookup.
    static constexpr const char* recordingPrompt = "キーを押してください（Escでキャンセル）";
    static constexpr const char* noShortcutText = "未設定";
    static constexpr TextKey conflictMessage =
        Text::tr("このキーの組み合わせは他のアプリと衝突しているため使用できません");
    static constexpr TextKey recordTitle = Text::tr("記録...");
    static constexpr TextKey cancelTitle = Text::tr("キャンセル");
    static constexpr std::uint16_t escapeKeyCode = 53;

    struct Binding {
        std::function<std::optional<ShortcutSpec>()> get;
        std::function<void(std::optional<ShortcutSpec>)> set;
    };

    ShortcutRecorder(KeyDownMonitors& monitors, HotKeyRegistry& hotKeys, Binding shortcut,
                     std::function<std::string(TextKey)> localize);
    ShortcutRecorder(const ShortcutRecorder&) = delete;
    ShortcutRecorder& operator=(const ShortcutRecorder&) = delete;
    ~ShortcutRecorder() { stopRecording(); }

    void startRecording();
    // Safe in any state; also what leaving the screen does.
    void stopRecording();
    void toggleRecording();
    void clear();
    // The monitor's handler: true when the press is swallowed (always, while recording).
    bool handleKeyDown(const KeyDownEvent& event);

    bool isRecording() const { return isRecording_; }
    bool hasMonitor() const { return monitor_.has_value(); }
    // The conflict of the last recording, or of the shortcut in force once another program has
    // taken it.
    std::optional<std::string> errorMessage() const;
    std::string labelText() const;
    // The primary label colour only when a shortcut is shown; the secondary otherwise.
    bool labelIsPrimary() const;
    TextKey recordButtonTitle() const { return isRecording_ ? cancelTitle : recordTitle; }
    bool showsClearButton() const { return shortcut_.get().has_value(); }

    // Told after every change of what the field shows.
    std::function<void()> onChange;

private:
    void changed() {
        if (onChange) {
            onChange();
        }
    }

    KeyDownMonitors& monitors_;
    HotKeyRegistry& hotKeys_;
    Binding shortcut_;
    std::function<std::string(TextKey)> localize_;
    bool isRecording_ = false;
    std::optional<Subscription> monitor_;
    std::optional<std::string> errorMessage_;
    Subscription losses_;
};

} // namespace nivu
