// The preset popup menu: one entry per preset, titled "VGA (640 × 480)", each carrying the
// window that had the focus when the menu opened.
#pragma once

#include "platform/Desktop.h"
#include "platform/Menu.h"
#include "platform/Shell.h"
#include "settings/WindowSizePreset.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nivu {

// What a chosen entry acts on; fixed when the menu is built.
struct PresetMenuPayload {
    const WindowRef window;
    const WindowSizePreset preset;
};

class PresetMenu {
public:
    using Apply = std::function<void(const PresetMenuPayload*)>;

    // name, " (", width, " × ", height, ")"
    static std::string presetMenuItemTitle(const WindowSizePreset& preset);

    // The entries for the presets in order, or the disabled placeholder when there are none.
    static Menu entries(Shell& shell, const std::vector<WindowSizePreset>& presets,
                        const WindowRef& window, const Apply& apply);
};

} // namespace nivu
