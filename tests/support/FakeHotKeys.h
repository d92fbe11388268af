// A hot-key platform that grants combinations, or refuses those already held.
#pragma once

#include "platform/HotKeys.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace nivu::test {

class FakeHotKeys final : public HotKeyPlatform {
public:
    using Combination = std::pair<std::uint32_t, std::uint32_t>; // key code, Carbon bits

    bool installEventHandler(std::function<void(HotKeyIdentifier)> handler) override {
        ++handlerInstalls;
        handler_ = std::move(handler);
        return true;
    }
    std::unique_ptr<HotKeyHandle> registerHotKey(std::uint32_t keyCode, Modifiers modifiers,
                                                 HotKeyIdentifier identifier) override {
        const Combination wanted{keyCode, carbonBits(modifiers)};
        // Held by another program, or already by this one: the X backend refuses both.
        if (taken.contains(wanted) ||
            std::ranges::any_of(registered, [&](const auto& r) { return r.second == wanted; })) {
            return nullptr;
        }
        registered[identifier.id] = wanted;
        return std::make_unique<Handle>(identifier.id);
    }
    void unregisterHotKey(std::unique_ptr<HotKeyHandle> handle) override {
        ++unregistrations;
        registered.erase(static_cast<Handle&>(*handle).id);
    }

    Subscription observeHolding(std::function<void(HotKeyIdentifier, bool)> onChange) override {
        return holding.connect(std::move(onChange));
    }

    // The user presses the combination registered under id.
    void press(std::uint32_t id) {
        if (handler_) {
            handler_(HotKeyIdentifier{0, id});
        }
    }

    Signal<HotKeyIdentifier, bool> holding; // another program takes a registration or gives it back
    std::set<Combination> taken;
    std::map<std::uint32_t, Combination> registered; // by id
    int handlerInstalls = 0;
    int unregistrations = 0;

private:
    struct Handle final : HotKeyHandle {
        explicit Handle(std::uint32_t id)
            : id(id) {}
        std::uint32_t id;
    };
    std::function<void(HotKeyIdentifier)> handler_;
};

} // namespace nivu::test
