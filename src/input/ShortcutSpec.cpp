// A keyboard combination: its JSON form and its derivations from key events.
#include "input/ShortcutSpec.h"

#include "common/JsonInput.h"
#include "common/Utf8.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace nivu {

namespace {

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

std::uint32_t carbonModifierMask(std::uint32_t modifierFlags) {
    std::uint32_t mask = 0;
    if (modifierFlags & modifier_flag::command) {
        mask |= carbon_modifier::command;
    }
    if (modifierFlags & modifier_flag::shift) {
        mask |= carbon_modifier::shift;
    }
    if (modifierFlags & modifier_flag::option) {
        mask |= carbon_modifier::option;
    }
    if (modifierFlags & modifier_flag::control) {
        mask |= carbon_modifier::control;
    }
    return mask;
}

std::string shortcutDisplayString(std::uint32_t modifierFlags,
                                  std::string_view charactersIgnoringModifiers) {
    std::string text;
    if (modifierFlags & modifier_flag::control) {
        text += "\u2303";
    }
    if (modifierFlags & modifier_flag::option) {
        text += "\u2325";
    }
    if (modifierFlags & modifier_flag::shift) {
        text += "\u21E7";
    }
    if (modifierFlags & modifier_flag::command) {
        text += "\u2318";
    }
    text += charactersIgnoringModifiers.empty() ? std::string("?")
                                                : toUpperCase(charactersIgnoringModifiers);
    return text;
}

} // namespace nivu
