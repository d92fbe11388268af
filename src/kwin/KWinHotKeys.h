// System-wide key combinations through KWin's global shortcuts: the script registers each one
// (registerShortcut) and reports its presses. KWin cannot say whether another program holds a
// combination, so only one Nivu holds already is refused.
#pragma once

#include "backend/HotKeyBase.h"
#include "kwin/ScriptBridge.h"

#include <QString>
#include <map>
#include <optional>

namespace nivu::kwin {

// The combination as KWin's shortcuts name it ("Meta+Alt+R"), from the key's name in the
// keyboard's layout; nothing for a key without a name there.
std::optional<QString> shortcutText(const backend::KeyCombination& combination);

class KWinHotKeys final : public backend::HotKeyBase {
public:
    explicit KWinHotKeys(ScriptBridge& bridge);

private:
    bool grab(Number number, const backend::KeyCombination& combination) override;
    void release(Number number, const backend::KeyCombination& combination) override;

    ScriptBridge& bridge_;
    std::map<Number, QString> shortcuts_; // by the number the script knows
    Subscription reports_;
};

} // namespace nivu::kwin
