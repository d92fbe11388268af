// Pointer monitoring and hot keys where this KWin session does not give them yet: each request
// is declined, so that the core goes on without them as it does on any desktop that refuses.
#pragma once

#include "platform/HotKeys.h"
#include "platform/PointerEvents.h"

namespace nivu::kwin {

class DecliningPointerEvents final : public PointerEvents {
public:
    std::optional<Subscription> monitorLeftDrags(std::function<void()>) override {
        return std::nullopt;
    }
    std::optional<Subscription> monitorLeftUps(std::function<void()>) override {
        return std::nullopt;
    }
    Point pointerLocation() override { return {}; }
};

class DecliningHotKeys final : public HotKeyPlatform {
public:
    bool installEventHandler(std::function<void(HotKeyIdentifier)>) override { return false; }
    std::unique_ptr<HotKeyHandle> registerHotKey(std::uint32_t, Modifiers,
                                                 HotKeyIdentifier) override {
        return nullptr;
    }
    void unregisterHotKey(std::unique_ptr<HotKeyHandle>) override {}
};

} // namespace nivu::kwin
