// The user's settings and their write-through to the user defaults.
#include "settings/AppSettings.h"

#include <stdexcept>

namespace nivu {

namespace {
std::unique_ptr<UserDefaults>& sharedDefaults() {
    static std::unique_ptr<UserDefaults> defaults;
    return defaults;
}

UserDefaults& requireSharedDefaults() {
    if (!sharedDefaults()) {
        throw std::logic_error("AppSettings::shared() used before provideSharedDefaults()");
    }
    return *sharedDefaults();
}
} // namespace

const ShortcutSpec& AppSettings::defaultPresetMenuShortcut() {
    static const ShortcutSpec shortcut{15, carbon_modifier::command | carbon_modifier::option,
                                       "\u2325\u2318R"};
    return shortcut;
}

AppSettings::AppSettings(UserDefaults& defaults)
    : defaults_(defaults) {
    const auto storedPresets = defaults_.dataForKey(presetsKey);
    const auto decodedPresets =
        storedPresets ? WindowSizePreset::decodeList(*storedPresets) : std::nullopt;
    presets_ = decodedPresets ? *decodedPresets : WindowSizePreset::builtInPresets();

    const auto storedShortcut = defaults_.dataForKey(presetMenuShortcutKey);
    if (!storedShortcut) {
        setPresetMenuShortcut(defaultPresetMenuShortcut());
    } else {
        setPresetMenuShortcut(ShortcutSpec::decodeJson(*storedShortcut));
    }
}

void AppSettings::provideSharedDefaults(std::unique_ptr<UserDefaults> defaults) {
    sharedDefaults() = std::move(defaults);
}

AppSettings& AppSettings::shared() {
    static AppSettings instance(requireSharedDefaults());
    return instance;
}

void AppSettings::setPresets(std::vector<WindowSizePreset> presets) {
    willChange_.emit();
    presetsStream_.emit(presets);
    presets_ = std::move(presets);
    storePresets();
}

void AppSettings::setPresetMenuShortcut(std::optional<ShortcutSpec> shortcut) {
    willChange_.emit();
    shortcutStream_.emit(shortcut);
    presetMenuShortcut_ = std::move(shortcut);
    storePresetMenuShortcut();
}

Subscription AppSettings::observeWillChange(std::function<void()> observer) {
    return willChange_.connect(std::move(observer));
}

Subscription AppSettings::subscribePresets(
    std::function<void(const std::vector<WindowSizePreset>&)> subscriber) {
    subscriber(presets_);
    return presetsStream_.connect(std::move(subscriber));
}

Subscription AppSettings::subscribePresetMenuShortcut(
    std::function<void(const std::optional<ShortcutSpec>&)> subscriber) {
    subscriber(presetMenuShortcut_);
    return shortcutStream_.connect(std::move(subscriber));
}

void AppSettings::storePresets() const {
    defaults_.setData(presetsKey, WindowSizePreset::encodeList(presets_));
}

void AppSettings::storePresetMenuShortcut() const {
    if (presetMenuShortcut_) {
        defaults_.setData(presetMenuShortcutKey, presetMenuShortcut_->encodeJson());
    } else {
        defaults_.removeObject(presetMenuShortcutKey);
    }
}

} // namespace nivu
