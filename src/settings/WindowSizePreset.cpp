// Presets: the built-in list and the JSON form.
#include "settings/WindowSizePreset.h"

#include "common/JsonInput.h"

namespace nivu {

const std::vector<WindowSizePreset>& WindowSizePreset::builtInPresets() {
    static const std::vector<WindowSizePreset> presets = [] {
        const struct {
            const char* name;
            std::int64_t width, height;
        } table[] = {{"VGA", 640, 480},           {"SVGA", 800, 600},
                     {"XGA", 1024, 768},          {"SXGA", 1280, 1024},
                     {"HD (720p)", 1280, 720},    {"HD+", 1600, 900},
                     {"FHD (1080p)", 1920, 1080}, {"WUXGA", 1920, 1200},
                     {"QHD (1440p)", 2560, 1440}, {"4K UHD", 3840, 2160}};
        std::vector<WindowSizePreset> list;
        for (const auto& row : table) {
            list.push_back({Uuid::random(), row.name, row.width, row.height});
        }
        return list;
    }();
    return presets;
}

std::optional<std::vector<WindowSizePreset>> WindowSizePreset::decodeList(std::string_view bytes) {
    const auto value = json::parseBounded(bytes);
    if (!value || !value->is_array()) {
        return std::nullopt;
    }
    std::vector<WindowSizePreset> presets;
    for (const auto& element : *value) {
        if (!element.is_object()) {
            return std::nullopt;
        }
        const auto* id = json::member(element, "id");
        const auto* name = json::member(element, "name");
        const auto* width = json::member(element, "width");
        const auto* height = json::member(element, "height");
        if (!id || !name || !width || !height || !id->is_string() || !name->is_string()) {
            return std::nullopt;
        }
        const auto uuid = Uuid::parse(id->get_ref<const std::string&>());
        const auto w = json::wholeNumber(*width);
        const auto h = json::wholeNumber(*height);
        if (!uuid || !w || !h) {
            return std::nullopt;
        }
        presets.push_back({*uuid, name->get<std::string>(), *w, *h});
    }
    return presets;
}

std::string WindowSizePreset::encodeList(const std::vector<WindowSizePreset>& presets) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& preset : presets) {
        list.push_back({{"id", preset.id.toString()},
                        {"name", preset.name},
                        {"width", preset.width},
                        {"height", preset.height}});
    }
    return list.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace nivu
