// The remembered-size store.
#include "memory/WindowSizeMemory.h"

#include "common/FileAccess.h"
#include "common/JsonInput.h"
#include "common/Utf8.h"
#include "common/Warning.h"

#include <algorithm>

namespace nivu {

namespace {

using Json = nlohmann::json;

std::optional<WindowSizeMemory::RememberedSize> parseSize(const Json& value) {
    if (!value.is_object()) {
        return std::nullopt;
    }
    const Json* width = json::member(value, "width");
    const Json* height = json::member(value, "height");
    if (!width || !height) {
        return std::nullopt;
    }
    const auto w = json::wholeNumber(*width);
    const auto h = json::wholeNumber(*height);
    if (!w || !h) {
        return std::nullopt;
    }
    return WindowSizeMemory::RememberedSize{*w, *h};
}

std::string windowKey(const std::optional<std::string>& windowIdentifier) {
    return windowIdentifier ? repairUtf8(*windowIdentifier)
                            : std::string(WindowSizeMemory::defaultWindowKey);
}

bool isTracked(const WindowSizeMemory::ConfigFile& config, const std::string& bundleIdentifier) {
    const auto& tracked = config.trackedBundleIdentifiers;
    return std::find(tracked.begin(), tracked.end(), bundleIdentifier) != tracked.end();
}

} // namespace

std::optional<WindowSizeMemory::ConfigFile>
WindowSizeMemory::ConfigFile::parse(std::string_view bytes) {
    const auto document = json::parseBounded(bytes);
    if (!document || !document->is_object()) {
        return std::nullopt;
    }
    const Json* tracked = json::member(*document, "trackedBundleIdentifiers");
    const Json* sizes = json::member(*document, "rememberedSizes");
    if (!tracked || !sizes || !tracked->is_array() || !sizes->is_object()) {
        return std::nullopt;
    }
    ConfigFile config;
    for (const auto& identifier : *tracked) {
        if (!identifier.is_string()) {
            return std::nullopt;
        }
        config.trackedBundleIdentifiers.push_back(identifier.get<std::string>());
    }
    for (const auto& [bundleIdentifier, windows] : sizes->items()) {
        if (!windows.is_object()) {
            return std::nullopt;
        }
        auto& application = config.rememberedSizes[bundleIdentifier];
        for (const auto& [key, value] : windows.items()) {
            const auto size = parseSize(value);
            if (!size) {
                return std::nullopt;
            }
            application[key] = *size;
        }
    }
    return config;
}

std::string WindowSizeMemory::ConfigFile::encode() const {
    Json sizes = Json::object();
    for (const auto& [bundleIdentifier, windows] : rememberedSizes) {
        Json application = Json::object();
        for (const auto& [key, size] : windows) {
            application[key] = Json{{"height", size.height}, {"width", size.width}};
        }
        sizes[bundleIdentifier] = std::move(application);
    }
    const Json document{{"rememberedSizes", std::move(sizes)},
                        {"trackedBundleIdentifiers", trackedBundleIdentifiers}};
    // nlohmann's objects keep their keys sorted by bytes, which is the order we promise.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

WindowSizeMemory::WindowSizeMemory(std::optional<std::filesystem::path> homeDirectory) {
    if (!homeDirectory) {
        return;
    }
    configDirectoryURL_ = *homeDirectory / ".nivu";
    configFileURL_ = configDirectoryURL_ / "config.json";
    legacyConfigFileURL_ = *homeDirectory / ".tolvenk" / "config.json";
    files::removeStaleTemporaries(configFileURL_);
    migrateLegacyConfig();
    createConfigIfMissing();
}

WindowSizeMemory& WindowSizeMemory::shared() {
    static WindowSizeMemory instance(files::homeDirectory());
    return instance;
}

WindowSizeMemory::ConfigFile WindowSizeMemory::loadConfig() const {
    if (configFileURL_.empty()) {
        return {};
    }
    const auto bytes = files::readWholeFile(configFileURL_, json::maxDocumentBytes);
    if (!bytes) {
        return {};
    }
    return ConfigFile::parse(*bytes).value_or(ConfigFile{});
}

void WindowSizeMemory::saveConfig(const ConfigFile& config) const {
    if (configFileURL_.empty()) {
        return;
    }
    // A document the reader would refuse would lose every size in it: keep the last good one.
    const std::string bytes = config.encode();
    if (bytes.size() > json::maxDocumentBytes) {
        if (!warnedTooLarge_) {
            warn("not remembering more window sizes: " + configFileURL_.string() +
                 " would grow past its limit of " + std::to_string(json::maxDocumentBytes >> 20) +
                 " MiB");
            warnedTooLarge_ = true;
        }
        return;
    }
    const bool saved = files::createDirectories(configDirectoryURL_) &&
                       files::writeAtomically(configFileURL_, bytes);
    // Once per run of failures: a full disk would otherwise say so on every resize.
    if (!saved && !saveFailing_) {
        warn("cannot save window sizes to " + configFileURL_.string());
    }
    saveFailing_ = !saved;
}

void WindowSizeMemory::migrateLegacyConfig() const {
    if (files::exists(configFileURL_) || !files::exists(legacyConfigFileURL_)) {
        return;
    }
    const auto bytes = files::readWholeFile(legacyConfigFileURL_, json::maxDocumentBytes);
    if (!bytes) {
        return;
    }
    files::createDirectories(configDirectoryURL_);
    files::writeAtomically(configFileURL_, *bytes);
}

void WindowSizeMemory::createConfigIfMissing() const {
    if (!files::exists(configFileURL_)) {
        saveConfig(ConfigFile{});
    }
}

std::optional<Size>
WindowSizeMemory::rememberedSize(std::string_view bundleIdentifier,
                                 const std::optional<std::string>& windowIdentifier) const {
    const ConfigFile config = loadConfig();
    const std::string bundle = repairUtf8(bundleIdentifier);
    if (!isTracked(config, bundle)) {
        return std::nullopt;
    }
    const auto application = config.rememberedSizes.find(bundle);
    if (application == config.rememberedSizes.end()) {
        return std::nullopt;
    }
    const auto& windows = application->second;
    auto entry = windows.find(windowKey(windowIdentifier));
    if (entry == windows.end()) {
        entry = windows.find(std::string(defaultWindowKey));
    }
    if (entry == windows.end()) {
        return std::nullopt;
    }
    return Size{static_cast<double>(entry->second.width),
                static_cast<double>(entry->second.height)};
}

void WindowSizeMemory::recordSize(Size size, std::string_view bundleIdentifier,
                                  const std::optional<std::string>& windowIdentifier) const {
    ConfigFile config = loadConfig();
    const std::string bundle = repairUtf8(bundleIdentifier);
    if (!isTracked(config, bundle)) {
        return;
    }
    const RememberedSize rounded{roundHalfAwayFromZero(size.width),
                                 roundHalfAwayFromZero(size.height)};
    auto& windows = config.rememberedSizes[bundle];
    const std::string key = windowKey(windowIdentifier);
    if (const auto existing = windows.find(key);
        existing != windows.end() && existing->second == rounded) {
        return;
    }
    windows[key] = rounded;
    saveConfig(config);
}

} // namespace nivu
