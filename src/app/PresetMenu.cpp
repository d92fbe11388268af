// The preset popup menu.
#include "app/PresetMenu.h"

namespace nivu {

std::string PresetMenu::presetMenuItemTitle(const WindowSizePreset& preset) {
    return preset.name + " (" + std::to_string(preset.width) + " \u00D7 " +
           std::to_string(preset.height) + ")";
}

Menu PresetMenu::entries(Shell& shell, const std::vector<WindowSizePreset>& presets,
                         const WindowRef& window, const Apply& apply) {
    Menu menu;
    if (presets.empty()) {
        MenuEntry placeholder;
        placeholder.title = shell.localizedString(
            Text::tr("No presets configured", "プリセット未設定時のプレースホルダー"));
        placeholder.enabled = false;
        menu.push_back(std::move(placeholder));
        return menu;
    }
    for (const auto& preset : presets) {
        MenuEntry entry;
        entry.title = presetMenuItemTitle(preset);
        entry.elidableLength = preset.name.size();
        entry.action = [apply, payload = std::make_shared<const PresetMenuPayload>(
                                   PresetMenuPayload{window, preset})] { apply(payload.get()); };
        menu.push_back(std::move(entry));
    }
    return menu;
}

} // namespace nivu
