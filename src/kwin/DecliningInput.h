// Hot keys where this KWin session does not give them yet: each request is declined, so that
// the core goes on without them as it does on any desktop that refuses.
#pragma once

#include "platform/HotKeys.h"

namespace nivu::kwin {

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
