// The shortcut recorder's logic.
#include "ui/ShortcutRecorder.h"

namespace nivu {

ShortcutRecorder::ShortcutRecorder(KeyDownMonitors& monitors, HotKeyRegistry& hotKeys,
                                   Binding shortcut, std::function<std::string(TextKey)> localize)
    : monitors_(monitors)
    , hotKeys_(hotKeys)
    , shortcut_(std::move(shortcut))
    , localize_(std::move(localize))
    , losses_(hotKeys.lossesChanged.connect([this] { changed(); })) {}

std::optional<std::string> ShortcutRecorder::errorMessage() const {
    const auto shortcut = shortcut_.get();
    if (!errorMessage_ && shortcut &&
        hotKeys_.isLost(shortcut->keyCode, shortcut->carbonModifiers)) {
        return localize_(conflictMessage);
    }
    return errorMessage_;
}

void ShortcutRecorder::startRecording() {
    errorMessage_.reset();
    isRecording_ = true;
    monitor_ = monitors_.addLocalKeyDownMonitor(
        [this](const KeyDownEvent& event) { return handleKeyDown(event); });
    changed();
}

void ShortcutRecorder::stopRecording() {
    const bool wasRecording = isRecording_;
    monitor_.reset();
    isRecording_ = false;
    if (wasRecording) {
        changed();
    }
}

void ShortcutRecorder::toggleRecording() {
    if (isRecording_) {
        stopRecording();
    } else {
        startRecording();
    }
}

void ShortcutRecorder::clear() {
    stopRecording();
    shortcut_.set(std::nullopt);
    changed();
}

bool ShortcutRecorder::handleKeyDown(const KeyDownEvent& event) {
    if (event.keyCode == escapeKeyCode) {
        stopRecording();
        return true;
    }
    if (event.modifiers.empty()) {
        return true; // keep recording; the key reaches no control
    }
    const std::uint32_t modifiers = carbonBits(event.modifiers);
    auto trial = GlobalHotKey::create(hotKeys_, event.keyCode, modifiers, [] {});
    if (!trial) {
        errorMessage_ = localize_(conflictMessage);
        stopRecording();
        changed();
        return true;
    }
    trial->unregister();
    trial.reset();
    errorMessage_.reset();
    shortcut_.set(ShortcutSpec{
        event.keyCode, modifiers,
        shortcutDisplayString(event.modifiers, event.keyCode, event.charactersIgnoringModifiers)});
    stopRecording();
    changed();
    return true;
}

std::string ShortcutRecorder::labelText() const {
    if (isRecording_) {
        return recordingPrompt;
    }
    const auto shortcut = shortcut_.get();
    return shortcut ? shortcut->displayString : std::string(noShortcutText);
}

bool ShortcutRecorder::labelIsPrimary() const {
    return !isRecording_ && shortcut_.get().has_value();
}

} // namespace nivu
