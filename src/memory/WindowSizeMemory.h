// The remembered-size store: last size per tracked application and window kind, in
// ~/.nivu/config.json, read and written whole on every operation (no cache, so hand edits count).
#pragma once

#include "common/Geometry.h"
#include "memory/SizeMemory.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nivu {

class WindowSizeMemory final : public SizeMemory {
public:
    struct RememberedSize {
        std::int64_t width = 0;
        std::int64_t height = 0;
        friend bool operator==(const RememberedSize&, const RememberedSize&) = default;
    };

    struct ConfigFile {
        std::vector<std::string> trackedBundleIdentifiers;
        std::map<std::string, std::map<std::string, RememberedSize>> rememberedSizes;

        // The document, or nothing when the bytes are not one strictly formed document.
        static std::optional<ConfigFile> parse(std::string_view bytes);
        // Pretty-printed, keys sorted at every level, UTF-8 (ill-formed text repaired).
        std::string encode() const;

        friend bool operator==(const ConfigFile&, const ConfigFile&) = default;
    };

    static constexpr std::string_view defaultWindowKey = "_default";

    // A store under the given home directory. Runs the legacy take-over and the first-run
    // creation. Without a home directory the store tracks nothing and never writes.
    explicit WindowSizeMemory(std::optional<std::filesystem::path> homeDirectory);

    // The one store of the process, under the current user's home directory; made on first use.
    static WindowSizeMemory& shared();

    std::optional<Size>
    rememberedSize(std::string_view bundleIdentifier,
                   const std::optional<std::string>& windowIdentifier) const override;
    void recordSize(Size size, std::string_view bundleIdentifier,
                    const std::optional<std::string>& windowIdentifier) const override;

    const std::filesystem::path& configFileURL() const { return configFileURL_; }

private:
    ConfigFile loadConfig() const;
    void saveConfig(const ConfigFile& config) const;
    void migrateLegacyConfig() const;
    void createConfigIfMissing() const;

    std::filesystem::path configDirectoryURL_;
    std::filesystem::path configFileURL_;
    std::filesystem::path legacyConfigFileURL_;
    mutable bool saveFailing_ = false;
    mutable bool warnedTooLarge_ = false;
};

} // namespace nivu
