// Bounded, non-throwing JSON parsing for untrusted bytes (hand-edited files, stored settings).
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

namespace nivu::json {

constexpr std::size_t maxDocumentBytes = 8 * 1024 * 1024;
constexpr int maxNestingDepth = 64;

// The parsed value, or nothing for bytes that are not one JSON value, are larger than
// maxDocumentBytes, nest deeper than maxNestingDepth, or are not valid UTF-8. Never throws.
std::optional<nlohmann::json> parseBounded(std::string_view bytes);

// A JSON number that is a whole number within the signed 64-bit range (an integer, or a float
// with no fractional part such as 800.0); nothing for any other value.
std::optional<std::int64_t> wholeNumber(const nlohmann::json& value);

// wholeNumber restricted to [minimum, maximum].
std::optional<std::int64_t> wholeNumberIn(const nlohmann::json& value, std::int64_t minimum,
                                          std::int64_t maximum);

// The member of an object, or nullptr when absent.
const nlohmann::json* member(const nlohmann::json& object, const char* name);

} // namespace nivu::json
