// UUIDs through libuuid.
#include "settings/Uuid.h"

#include <uuid/uuid.h>

namespace nivu {

Uuid Uuid::random() {
    Uuid uuid;
    uuid_generate_random(uuid.bytes_.data());
    return uuid;
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    const std::string terminated(text);
    Uuid uuid;
    if (uuid_parse(terminated.c_str(), uuid.bytes_.data()) != 0) {
        return std::nullopt;
    }
    return uuid;
}

std::string Uuid::toString() const {
    char text[37];
    uuid_unparse_upper(bytes_.data(), text);
    return text;
}

} // namespace nivu
