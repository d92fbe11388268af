// A remembered-size store in memory that records every call.
#pragma once

#include "memory/SizeMemory.h"

#include <map>
#include <vector>

namespace nivu::test {

struct RecordingSizeMemory final : SizeMemory {
    struct Record {
        Size size;
        std::string bundleIdentifier;
        std::optional<std::string> windowIdentifier;
        friend bool operator==(const Record&, const Record&) = default;
    };

    std::optional<Size>
    rememberedSize(std::string_view bundleIdentifier,
                   const std::optional<std::string>& windowIdentifier) const override {
        const auto found = sizes.find({std::string(bundleIdentifier), windowIdentifier});
        return found == sizes.end() ? std::nullopt : std::optional<Size>(found->second);
    }
    void recordSize(Size size, std::string_view bundleIdentifier,
                    const std::optional<std::string>& windowIdentifier) const override {
        records.push_back({size, std::string(bundleIdentifier), windowIdentifier});
    }

    std::map<std::pair<std::string, std::optional<std::string>>, Size> sizes;
    mutable std::vector<Record> records;
};

} // namespace nivu::test
