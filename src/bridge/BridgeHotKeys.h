// System-wide key combinations through the compositor side: it grabs each one in the
// compositor's own way (KWin's global shortcuts, GNOME Shell's accelerators) and reports its
// presses. One Nivu holds already is refused at once; one the compositor refuses (GNOME Shell
// says so once the command has arrived) is then no longer held, which the settings show.
#pragma once

#include "backend/HotKeyBase.h"
#include "bridge/ScriptBridge.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace nivu::bridge {

// The keysym at the key's first level in the default layout (XKB_DEFAULT_LAYOUT, else us):
// compositors match shortcuts by keysym. Nothing for a key without one.
std::optional<std::uint32_t> layoutKeysym(int evdevCode);

class BridgeHotKeys final : public backend::HotKeyBase {
public:
    // The combination in the compositor's notation; nothing where it has no name there.
    using Notation = std::function<std::optional<QString>(const backend::KeyCombination&)>;
    BridgeHotKeys(ScriptBridge& bridge, Notation notation);

private:
    bool grab(Number number, const backend::KeyCombination& combination) override;
    void release(Number number, const backend::KeyCombination& combination) override;
    void refuse(Number number);

    ScriptBridge& bridge_;
    Notation notation_;
    std::map<Number, QString> shortcuts_; // by the number the compositor side knows
    Subscription reports_;
};

} // namespace nivu::bridge
