// User defaults held in memory, with a journal of every write for order checks.
#pragma once

#include "platform/UserDefaults.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace nivu::test {

class InMemoryUserDefaults final : public UserDefaults {
public:
    std::optional<std::string> dataForKey(std::string_view key) const override {
        const auto found = data_.find(std::string(key));
        if (found == data_.end() || nonData_.contains(std::string(key))) {
            return std::nullopt;
        }
        return found->second;
    }
    void setData(std::string_view key, std::string_view bytes) override {
        journal.push_back("set " + std::string(key));
        nonData_.erase(std::string(key));
        data_[std::string(key)] = std::string(bytes);
    }
    void removeObject(std::string_view key) override {
        journal.push_back("remove " + std::string(key));
        nonData_.erase(std::string(key));
        data_.erase(std::string(key));
    }

    // Stores a value of another type than bytes (a hand-edited string, say).
    void setNonData(const std::string& key) {
        data_[key] = "";
        nonData_.insert(key);
    }
    bool contains(const std::string& key) const { return data_.contains(key); }

    std::vector<std::string> journal;

private:
    std::map<std::string, std::string> data_;
    std::set<std::string> nonData_;
};

} // namespace nivu::test
