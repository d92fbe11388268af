// Text from other programs' window properties.
#include "x11/PropertyText.h"

#include "common/Utf8.h"

namespace nivu::x11 {

std::string propertyText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x80) {
            text += byte;
        } else {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

std::optional<std::string> windowClass(std::string_view bytes) {
    const auto separator = bytes.find('\0');
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    std::string text = propertyText(bytes.substr(separator + 1));
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

} // namespace nivu::x11
