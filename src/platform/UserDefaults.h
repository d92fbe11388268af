// Per-user persistent key/value storage of byte values (the settings database).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nivu {

class UserDefaults {
public:
    UserDefaults() = default;
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;
    virtual ~UserDefaults() = default;

    // The bytes stored under key; nothing when the key is absent or holds a value that is not
    // bytes.
    virtual std::optional<std::string> dataForKey(std::string_view key) const = 0;
    // Stores bytes under key and persists them. A failed write keeps the previous value and is
    // not reported.
    virtual void setData(std::string_view key, std::string_view bytes) = 0;
    // Removes key; nothing happens when it is absent or the removal cannot be persisted.
    virtual void removeObject(std::string_view key) = 0;
};

} // namespace nivu
