// A named window size offered by the preset menu.
#pragma once

#include "settings/Uuid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nivu {

struct WindowSizePreset {
    Uuid id;
    std::string name;
    std::int64_t width = 0;
    std::int64_t height = 0;

    friend bool operator==(const WindowSizePreset&, const WindowSizePreset&) = default;

    // The ten built-in presets, made once per process with fresh ids.
    static const std::vector<WindowSizePreset>& builtInPresets();

    // A JSON array of preset objects, or nothing when any element is malformed.
    static std::optional<std::vector<WindowSizePreset>> decodeList(std::string_view bytes);
    // Compact JSON array; names that are not valid UTF-8 are repaired.
    static std::string encodeList(const std::vector<WindowSizePreset>& presets);
};

} // namespace nivu
