// UTF-8 validation and repair through ICU.
#include "common/Utf8.h"

#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace nivu {

bool isValidUtf8(std::string_view bytes) {
    const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto length = static_cast<int32_t>(bytes.size());
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        return false;
    }
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

std::string repairUtf8(std::string_view bytes) {
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string repaired;
    icu::UnicodeString::fromUTF8(icu::StringPiece(bytes.data(), static_cast<int32_t>(bytes.size())))
        .toUTF8String(repaired);
    return repaired;
}

} // namespace nivu
