// Bounded, non-throwing JSON parsing for untrusted bytes.
#include "common/JsonInput.h"

#include <cmath>

namespace nivu::json {

namespace {
struct TooDeep {};
} // namespace

std::optional<nlohmann::json> parseBounded(std::string_view bytes) {
    if (bytes.size() > maxDocumentBytes) {
        return std::nullopt;
    }
    const auto limitDepth = [](int depth, nlohmann::json::parse_event_t event, nlohmann::json&) {
        if ((event == nlohmann::json::parse_event_t::object_start ||
             event == nlohmann::json::parse_event_t::array_start) &&
            depth >= maxNestingDepth) {
            throw TooDeep{};
        }
        return true;
    };
    try {
        auto value = nlohmann::json::parse(bytes.begin(), bytes.end(), limitDepth,
                                           /*allow_exceptions=*/false);
        if (value.is_discarded()) {
            return std::nullopt;
        }
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::int64_t> wholeNumber(const nlohmann::json& value) {
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        return value.get<std::int64_t>();
    }
    if (value.is_number_unsigned()) {
        const auto unsignedValue = value.get<std::uint64_t>();
        if (unsignedValue > static_cast<std::uint64_t>(INT64_MAX)) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(unsignedValue);
    }
    if (value.is_number_float()) {
        const double number = value.get<double>();
        // Strictly inside ±2^63: a float at -2^63 may be a rounded value that was out of range.
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (!std::isfinite(number) || std::trunc(number) != number || number >= limit ||
            number <= -limit) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(number);
    }
    return std::nullopt;
}

std::optional<std::int64_t> wholeNumberIn(const nlohmann::json& value, std::int64_t minimum,
                                          std::int64_t maximum) {
    const auto number = wholeNumber(value);
    if (!number || *number < minimum || *number > maximum) {
        return std::nullopt;
    }
    return number;
}

const nlohmann::json* member(const nlohmann::json& object, const char* name) {
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

} // namespace nivu::json
