// Fuzzes the remembered-size document: parsing never fails unsafely, and what parses survives a
// write and a second read unchanged.
#include "common/Utf8.h"
#include "memory/WindowSizeMemory.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto config = nivu::WindowSizeMemory::ConfigFile::parse(bytes);
    if (!config) {
        return 0;
    }
    const std::string written = config->encode();
    if (!nivu::isValidUtf8(written) ||
        nivu::WindowSizeMemory::ConfigFile::parse(written) != config) {
        std::abort();
    }
    return 0;
}
