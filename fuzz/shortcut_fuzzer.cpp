// Fuzzes the stored shortcut and the display-string derivation: decoding is safe, a decoded
// value survives a round trip, and any key text gives valid UTF-8 to show.
#include "common/Utf8.h"
#include "input/ShortcutSpec.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto shortcut = nivu::ShortcutSpec::decodeJson(bytes);
    if (shortcut && nivu::ShortcutSpec::decodeJson(shortcut->encodeJson()) != shortcut) {
        std::abort();
    }
    if (size >= 6) {
        std::uint32_t carbon = 0;
        std::uint16_t keyCode = 0;
        std::memcpy(&carbon, data, 4);
        std::memcpy(&keyCode, data + 4, 2);
        const auto display = nivu::shortcutDisplayString(nivu::modifiersOfCarbonBits(carbon),
                                                         keyCode, bytes.substr(6));
        if (!nivu::isValidUtf8(display) || display.empty()) {
            std::abort();
        }
    }
    return 0;
}
