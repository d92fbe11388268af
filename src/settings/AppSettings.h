// The user's settings (presets and the preset-menu shortcut), observable and written through to
// the user defaults on every assignment.
#pragma once

#include "common/Signal.h"
#include "input/ShortcutSpec.h"
#include "platform/UserDefaults.h"
#include "settings/WindowSizePreset.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace nivu {

class AppSettings {
public:
    static constexpr const char* presetsKey = "windowSizePresets";
    static constexpr const char* presetMenuShortcutKey = "presetMenuShortcut";

    static const ShortcutSpec& defaultPresetMenuShortcut();

    // Loads both settings from defaults, which must outlive the object.
    explicit AppSettings(UserDefaults& defaults);
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // Hands the process's user defaults to shared(); must happen before its first use.
    static void provideSharedDefaults(std::unique_ptr<UserDefaults> defaults);
    // The one settings object of the process, loaded on first use.
    static AppSettings& shared();

    const std::vector<WindowSizePreset>& presets() const { return presets_; }
    void setPresets(std::vector<WindowSizePreset> presets);

    const std::optional<ShortcutSpec>& presetMenuShortcut() const { return presetMenuShortcut_; }
    void setPresetMenuShortcut(std::optional<ShortcutSpec> shortcut);

    // Told before either property changes.
    [[nodiscard]] Subscription observeWillChange(std::function<void()> observer);
    // Each stream delivers the current value at once, then every assigned value at the moment
    // of assignment: before the property holds it and before it is stored.
    [[nodiscard]] Subscription
    subscribePresets(std::function<void(const std::vector<WindowSizePreset>&)> subscriber);
    [[nodiscard]] Subscription
    subscribePresetMenuShortcut(std::function<void(const std::optional<ShortcutSpec>&)> subscriber);

private:
    void storePresets() const;
    void storePresetMenuShortcut() const;

    UserDefaults& defaults_;
    std::vector<WindowSizePreset> presets_;
    std::optional<ShortcutSpec> presetMenuShortcut_;
    Signal<> willChange_;
    Signal<std::vector<WindowSizePreset>> presetsStream_;
    Signal<std::optional<ShortcutSpec>> shortcutStream_;
};

} // namespace nivu
