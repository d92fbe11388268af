// The editing rules of the presets list in the settings window: entry validation, add, delete,
// move and reset. Every edit returns a new whole list for the settings store.
#pragma once

#include "settings/WindowSizePreset.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace nivu::preset_editing {

// A whole field as a base-10 signed 64-bit integer: an optional "+" or "-", then ASCII digits,
// nothing else; nothing for anything else or a value out of range.
std::optional<std::int64_t> parseIntegerEntry(std::string_view text);

// The name without Unicode space separators (Zs) and tabs at both ends; line breaks stay.
std::string trimmedName(std::string_view text);

bool isNewPresetValid(std::string_view name, std::string_view width, std::string_view height);

// The list with the new preset appended, or nothing when the entries are not valid.
std::optional<std::vector<WindowSizePreset>> addPreset(std::vector<WindowSizePreset> presets,
                                                       std::string_view name,
                                                       std::string_view width,
                                                       std::string_view height);

std::vector<WindowSizePreset> deletePreset(std::vector<WindowSizePreset> presets, const Uuid& id);

// Takes out the presets at the source positions and inserts them, in their order, before the
// one that was at destination (at the end when destination is the list's length). Positions
// count in the list before the move; those out of range are ignored.
std::vector<WindowSizePreset> movePresets(const std::vector<WindowSizePreset>& presets,
                                          const std::set<std::size_t>& sources,
                                          std::size_t destination);

} // namespace nivu::preset_editing
