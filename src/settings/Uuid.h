// A 128-bit UUID, written in its upper-case hyphenated form.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nivu {

class Uuid {
public:
    static Uuid random();
    // Accepts the 36-character hyphenated form in either letter case.
    static std::optional<Uuid> parse(std::string_view text);

    // "E621E1F8-C36C-495A-93FC-0C247A3E6E5F"
    std::string toString() const;

    friend bool operator==(const Uuid&, const Uuid&) = default;

private:
    std::array<std::uint8_t, 16> bytes_{};
};

} // namespace nivu
