// Fuzzes the stored presets array: decoding is safe, and a decoded list encodes and decodes to
// an equal list.
#include "settings/WindowSizePreset.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto presets = nivu::WindowSizePreset::decodeList(bytes);
    if (presets && nivu::WindowSizePreset::decodeList(
                       nivu::WindowSizePreset::encodeList(*presets)) != presets) {
        std::abort();
    }
    return 0;
}
