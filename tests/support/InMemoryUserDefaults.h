// User defaults held in memory.
#pragma once

#include "platform/UserDefaults.h"

#include <map>
#include <string>

namespace nivu::test {

class InMemoryUserDefaults final : public UserDefaults {
public:
    std::optional<std::string> dataForKey(std::string_view key) const override {
        const auto found = data_.find(std::string(key));
        return found == data_.end() ? std::nullopt : std::optional(found->second);
    }
    void setData(std::string_view key, std::string_view bytes) override {
        data_[std::string(key)] = std::string(bytes);
    }
    void removeObject(std::string_view key) override { data_.erase(std::string(key)); }

    bool contains(const std::string& key) const { return data_.contains(key); }

private:
    std::map<std::string, std::string> data_;
};

} // namespace nivu::test
