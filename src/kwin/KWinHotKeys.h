// System-wide key combinations through KWin's global shortcuts: the script registers each one
// (registerShortcut) and reports its presses. KWin cannot say whether another program holds a
// combination, so only one Nivu holds already is refused.
#pragma once

#include "kwin/ScriptBridge.h"
#include "platform/HotKeys.h"

#include <QString>
#include <map>
#include <optional>

namespace nivu::kwin {

// The combination as KWin's shortcuts name it ("Meta+Alt+R"), from the key's position on the
// keyboard's layout; nothing for a key without a name there or without modifiers.
std::optional<QString> shortcutText(std::uint32_t virtualKeyCode, Modifiers modifiers);

class KWinHotKeys final : public HotKeyPlatform {
public:
    explicit KWinHotKeys(ScriptBridge& bridge);

    bool installEventHandler(std::function<void(HotKeyIdentifier)> handler) override;
    std::unique_ptr<HotKeyHandle> registerHotKey(std::uint32_t keyCode, Modifiers modifiers,
                                                 HotKeyIdentifier identifier) override;
    void unregisterHotKey(std::unique_ptr<HotKeyHandle> handle) override;

private:
    class Handle;
    struct Registration {
        HotKeyIdentifier identifier;
        QString keys;
    };

    ScriptBridge& bridge_;
    std::function<void(HotKeyIdentifier)> handler_;
    std::map<std::uint32_t, Registration> registrations_; // by the number the script knows
    std::uint32_t nextNumber_ = 1;
    Subscription reports_;
};

} // namespace nivu::kwin
