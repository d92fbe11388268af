// The editing rules of the presets list.
#include "ui/PresetEditing.h"

#include <algorithm>
#include <charconv>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace nivu::preset_editing {

namespace {
bool isTrimmable(UChar32 c) {
    return c == '\t' || u_charType(c) == U_SPACE_SEPARATOR;
}
} // namespace

std::optional<std::int64_t> parseIntegerEntry(std::string_view text) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    // Parse with the sign so that the most negative value fits.
    const std::string signedDigits = (negative ? "-" : "") + std::string(digits);
    std::int64_t value = 0;
    const auto [end, error] =
        std::from_chars(signedDigits.data(), signedDigits.data() + signedDigits.size(), value);
    if (error != std::errc() || end != signedDigits.data() + signedDigits.size()) {
        return std::nullopt;
    }
    return value;
}

std::string trimmedName(std::string_view text) {
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t begin = 0;
    while (begin < length) {
        int32_t next = begin;
        UChar32 c;
        U8_NEXT(s, next, length, c);
        if (c < 0 || !isTrimmable(c)) {
            break;
        }
        begin = next;
    }
    int32_t end = length;
    while (end > begin) {
        int32_t previous = end;
        UChar32 c;
        U8_PREV(s, begin, previous, c);
        if (c < 0 || !isTrimmable(c)) {
            break;
        }
        end = previous;
    }
    return std::string(
        text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)));
}

bool isNewPresetValid(std::string_view name, std::string_view width, std::string_view height) {
    const auto w = parseIntegerEntry(width);
    const auto h = parseIntegerEntry(height);
    return !trimmedName(name).empty() && w && *w >= 1 && h && *h >= 1;
}

std::optional<std::vector<WindowSizePreset>> addPreset(std::vector<WindowSizePreset> presets,
                                                       std::string_view name,
                                                       std::string_view width,
                                                       std::string_view height) {
    if (!isNewPresetValid(name, width, height)) {
        return std::nullopt;
    }
    presets.push_back(
        {Uuid::random(), trimmedName(name), *parseIntegerEntry(width), *parseIntegerEntry(height)});
    return presets;
}

std::vector<WindowSizePreset> deletePreset(std::vector<WindowSizePreset> presets, const Uuid& id) {
    std::erase_if(presets, [&](const WindowSizePreset& preset) { return preset.id == id; });
    return presets;
}

std::vector<WindowSizePreset> movePresets(const std::vector<WindowSizePreset>& presets,
                                          const std::set<std::size_t>& sources,
                                          std::size_t destination) {
    std::vector<WindowSizePreset> moved;
    std::vector<WindowSizePreset> result;
    std::size_t insertAt = 0;
    for (std::size_t i = 0; i < presets.size(); ++i) {
        if (i == destination) {
            insertAt = result.size();
        }
        (sources.contains(i) ? moved : result).push_back(presets[i]);
    }
    if (destination >= presets.size()) {
        insertAt = result.size();
    }
    result.insert(result.begin() + static_cast<std::ptrdiff_t>(insertAt), moved.begin(),
                  moved.end());
    return result;
}

} // namespace nivu::preset_editing
