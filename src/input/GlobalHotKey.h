// One system-wide key combination with its action, and the registry that all of them share:
// the signature "NVHK", ids that are never reused, the action table and the one handler.
#pragma once

#include "platform/HotKeys.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

namespace nivu {

// Packs up to four characters big-endian, the first in the most significant byte.
constexpr std::uint32_t fourCharCode(std::string_view text) {
    std::uint32_t code = 0;
    for (const char character : text) {
        code = (code << 8) + static_cast<unsigned char>(character);
    }
    return code;
}

class HotKeyRegistry {
public:
    static constexpr std::uint32_t signature = fourCharCode("NVHK");

    explicit HotKeyRegistry(HotKeyPlatform& platform)
        : platform_(platform) {}
    HotKeyRegistry(const HotKeyRegistry&) = delete;
    HotKeyRegistry& operator=(const HotKeyRegistry&) = delete;

    // A press delivered by the platform: runs the action registered under the id, if any.
    // Returns the status for the platform (always 0: the press is never passed on).
    int handleHotKeyEvent(const HotKeyIdentifier* identifier);

    // True while the platform no longer holds a registration of this combination.
    bool isLost(std::uint32_t keyCode, std::uint32_t modifiers) const;
    // Tells after each change of what isLost answers.
    Signal<> lossesChanged;

    std::uint32_t nextID() const { return nextID_; }
    bool hasHandler(std::uint32_t id) const { return registrations_.contains(id); }
    bool eventHandlerInstalled() const { return eventHandlerInstalled_; }

private:
    friend class GlobalHotKey;

    HotKeyPlatform& platform_;
    std::uint32_t nextID_ = 1;
    struct Registration {
        std::function<void()> action;
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        bool lost = false;
    };
    std::map<std::uint32_t, Registration> registrations_; // by id
    std::optional<Subscription> holding_;
    bool eventHandlerInstalled_ = false;
};

class GlobalHotKey {
public:
    // The registered hot key, or nullptr when the platform refuses the combination.
    static std::unique_ptr<GlobalHotKey> create(HotKeyRegistry& registry, std::uint32_t keyCode,
                                                std::uint32_t modifiers,
                                                std::function<void()> action);
    GlobalHotKey(const GlobalHotKey&) = delete;
    GlobalHotKey& operator=(const GlobalHotKey&) = delete;
    ~GlobalHotKey() { unregister(); }

    // Releases the combination and forgets the action; may be called more than once.
    void unregister();

    std::uint32_t id() const { return id_; }
    bool isRegistered() const { return hotKeyRef_ != nullptr; }

private:
    GlobalHotKey(HotKeyRegistry& registry, std::uint32_t id,
                 std::unique_ptr<HotKeyHandle> hotKeyRef)
        : registry_(registry)
        , id_(id)
        , hotKeyRef_(std::move(hotKeyRef)) {}

    HotKeyRegistry& registry_;
    const std::uint32_t id_;
    std::unique_ptr<HotKeyHandle> hotKeyRef_;
};

} // namespace nivu
