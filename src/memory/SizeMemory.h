// The two operations the controller needs of the remembered-size store.
#pragma once

#include "common/Geometry.h"

#include <optional>
#include <string>
#include <string_view>

namespace nivu {

class SizeMemory {
public:
    SizeMemory() = default;
    SizeMemory(const SizeMemory&) = delete;
    SizeMemory& operator=(const SizeMemory&) = delete;
    virtual ~SizeMemory() = default;

    // The remembered size of a window kind of a tracked application, or nothing.
    virtual std::optional<Size>
    rememberedSize(std::string_view bundleIdentifier,
                   const std::optional<std::string>& windowIdentifier) const = 0;
    // Keeps the size (rounded) when the application is tracked; failures are silent.
    virtual void recordSize(Size size, std::string_view bundleIdentifier,
                            const std::optional<std::string>& windowIdentifier) const = 0;
};

} // namespace nivu
