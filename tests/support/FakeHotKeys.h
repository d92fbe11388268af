// A hot-key platform that grants or refuses combinations as told and records every call.
#pragma once

#include "platform/HotKeys.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace nivu::test {

class FakeHotKeys final : public HotKeyPlatform {
public:
    FakeHotKeys() = default;
    explicit FakeHotKeys(std::vector<std::string>& sharedJournal)
        : journal(sharedJournal) {}

    bool installEventHandler(std::function<void(HotKeyIdentifier)> handler) override {
        journal.push_back("install handler");
        if (refuseHandler) {
            return false;
        }
        handler_ = std::move(handler);
        return true;
    }
    std::unique_ptr<HotKeyHandle> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                 HotKeyIdentifier identifier) override {
        journal.push_back("register " + std::to_string(keyCode) + "/" + std::to_string(modifiers) +
                          " as " + std::to_string(identifier.id));
        if (taken.contains({keyCode, modifiers})) {
            return nullptr;
        }
        registered.insert(identifier.id);
        return std::make_unique<Handle>(identifier.id);
    }
    void unregisterHotKey(std::unique_ptr<HotKeyHandle> handle) override {
        const auto id = static_cast<Handle&>(*handle).id;
        journal.push_back("unregister " + std::to_string(id));
        registered.erase(id);
    }

    // The user presses the combination registered under id.
    void press(std::uint32_t id, std::uint32_t signature = 0x4E56484B) {
        if (handler_) {
            handler_(HotKeyIdentifier{signature, id});
        }
    }

    std::set<std::pair<std::uint32_t, std::uint32_t>> taken;
    std::set<std::uint32_t> registered;
    bool refuseHandler = false;

private:
    struct Handle final : HotKeyHandle {
        explicit Handle(std::uint32_t id)
            : id(id) {}
        std::uint32_t id;
    };
    std::function<void(HotKeyIdentifier)> handler_;
    std::vector<std::string> ownJournal_;

public:
    std::vector<std::string>& journal = ownJournal_;
};

} // namespace nivu::test
