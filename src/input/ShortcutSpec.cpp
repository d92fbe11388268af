// A keyboard combination: its JSON form and its derivations from key events.
#include "input/ShortcutSpec.h"

#include "common/JsonInput.h"
#include "common/Utf8.h"

#include <algorithm>
#include <array>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace nivu {

namespace {

using KeyName = std::pair<std::uint16_t, const char*>; // virtual key code, shown text

// Keys whose characters (if any) are control characters or blanks.
constexpr std::array<KeyName, 38> namedKeys{{
    {0x24, "\u21A9"}, {0x30, "\u21E5"}, {0x31, "Space"},  {0x33, "\u232B"}, {0x35, "\u238B"},
    {0x75, "\u2326"}, {0x72, "Insert"}, {0x73, "\u2196"}, {0x77, "\u2198"}, {0x74, "\u21DE"},
    {0x79, "\u21DF"}, {0x7B, "\u2190"}, {0x7C, "\u2192"}, {0x7D, "\u2193"}, {0x7E, "\u2191"},
    {0x4C, "\u2324"}, {0x47, "\u2327"}, {0x7A, "F1"},     {0x78, "F2"},     {0x63, "F3"},
    {0x76, "F4"},     {0x60, "F5"},     {0x61, "F6"},     {0x62, "F7"},     {0x64, "F8"},
    {0x65, "F9"},     {0x6D, "F10"},    {0x67, "F11"},    {0x6F, "F12"},    {0x69, "F13"},
    {0x6B, "F14"},    {0x71, "F15"},    {0x6A, "F16"},    {0x40, "F17"},    {0x4F, "F18"},
    {0x50, "F19"},    {0x5A, "F20"},    {0x5F, ","},
}};

// Keypad keys, which type nothing while Num Lock is off.
constexpr std::array<KeyName, 16> keypadKeys{{
    {0x52, "0"},
    {0x53, "1"},
    {0x54, "2"},
    {0x55, "3"},
    {0x56, "4"},
    {0x57, "5"},
    {0x58, "6"},
    {0x59, "7"},
    {0x5B, "8"},
    {0x5C, "9"},
    {0x41, "."},
    {0x43, "*"},
    {0x45, "+"},
    {0x4B, "/"},
    {0x4E, "-"},
    {0x51, "="},
}};

template <std::size_t count>
const char* nameIn(const std::array<KeyName, count>& names, std::uint16_t keyCode) {
    const auto found = std::ranges::find(names, keyCode, &KeyName::first);
    return found == names.end() ? nullptr : found->second;
}

std::string toUpperCase(std::string_view text) {
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    unicode.toUpper(icu::Locale::getRoot());
    std::string upper;
    unicode.toUTF8String(upper);
    return upper;
}

icu::UnicodeString normalized(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    const auto unicode = icu::UnicodeString::fromUTF8(text);
    if (U_FAILURE(status)) {
        return unicode;
    }
    icu::UnicodeString result = nfc->normalize(unicode, status);
    return U_SUCCESS(status) ? result : unicode;
}

} // namespace

bool operator==(const ShortcutSpec& a, const ShortcutSpec& b) {
    if (a.keyCode != b.keyCode || a.carbonModifiers != b.carbonModifiers) {
        return false;
    }
    if (a.displayString == b.displayString) {
        return true;
    }
    // Only text that is valid UTF-8 has canonical equivalents; ill-formed bytes differ as bytes.
    if (!isValidUtf8(a.displayString) || !isValidUtf8(b.displayString)) {
        return false;
    }
    return normalized(a.displayString) == normalized(b.displayString);
}

std::string ShortcutSpec::encodeJson() const {
    const nlohmann::ordered_json value{{"keyCode", keyCode},
                                       {"carbonModifiers", carbonModifiers},
                                       {"displayString", displayString}};
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::optional<ShortcutSpec> ShortcutSpec::decodeJson(std::string_view bytes) {
    const auto value = json::parseBounded(bytes);
    if (!value || !value->is_object()) {
        return std::nullopt;
    }
    const auto* keyCode = json::member(*value, "keyCode");
    const auto* modifiers = json::member(*value, "carbonModifiers");
    const auto* display = json::member(*value, "displayString");
    if (!keyCode || !modifiers || !display || !display->is_string()) {
        return std::nullopt;
    }
    const auto key = json::wholeNumberIn(*keyCode, 0, UINT16_MAX);
    const auto mask = json::wholeNumberIn(*modifiers, 0, UINT32_MAX);
    if (!key || !mask) {
        return std::nullopt;
    }
    return ShortcutSpec{static_cast<std::uint16_t>(*key), static_cast<std::uint32_t>(*mask),
                        display->get<std::string>()};
}

std::string shortcutDisplayString(Modifiers modifiers, std::uint16_t keyCode,
                                  std::string_view charactersIgnoringModifiers) {
    std::string text;
    if (modifiers.has(Modifier::control)) {
        text += "\u2303";
    }
    if (modifiers.has(Modifier::option)) {
        text += "\u2325";
    }
    if (modifiers.has(Modifier::shift)) {
        text += "\u21E7";
    }
    if (modifiers.has(Modifier::command)) {
        text += "\u2318";
    }
    if (const char* name = nameIn(namedKeys, keyCode)) {
        return text + name;
    }
    if (!charactersIgnoringModifiers.empty()) {
        return text + toUpperCase(charactersIgnoringModifiers);
    }
    const char* keypad = nameIn(keypadKeys, keyCode);
    return text + (keypad ? keypad : "?");
}

} // namespace nivu
