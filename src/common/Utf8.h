// UTF-8 hygiene for strings that come from other programs (window properties) or from files.
#pragma once

#include <string>
#include <string_view>

namespace nivu {

bool isValidUtf8(std::string_view bytes);

// The text unchanged when it is valid UTF-8; otherwise every ill-formed sequence becomes U+FFFD.
// Stored keys go through this, so lookups and records of the same raw bytes always agree.
std::string repairUtf8(std::string_view bytes);

} // namespace nivu
