// Global shortcuts grabbed by the compositor side.
#include "bridge/BridgeHotKeys.h"

#include "bridge/Commands.h"

#include <algorithm>
#include <memory>
#include <xkbcommon/xkbcommon.h>

namespace nivu::bridge {

namespace {
constexpr int evdevToXkb = 8;
} // namespace

std::optional<std::uint32_t> layoutKeysym(int evdevCode) {
    using Context = std::unique_ptr<xkb_context, decltype(&xkb_context_unref)>;
    using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;
    const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    if (!context) {
        return std::nullopt;
    }
    const Keymap keymap(
        xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS),
        &xkb_keymap_unref);
    const xkb_keysym_t* keysyms = nullptr;
    if (!keymap || xkb_keymap_key_get_syms_by_level(keymap.get(), evdevCode + evdevToXkb, 0, 0,
                                                    &keysyms) < 1) {
        return std::nullopt;
    }
    return keysyms[0];
}

BridgeHotKeys::BridgeHotKeys(ScriptBridge& bridge, Notation notation)
    : bridge_(bridge)
    , notation_(std::move(notation))
    , reports_(bridge.reports.connect([this](const Report& report) {
        if (const auto* press = std::get_if<HotKeyReport>(&report)) {
            pressed(press->shortcut);
        } else if (const auto* refusal = std::get_if<RefusedReport>(&report)) {
            refuse(refusal->shortcut);
        }
    })) {}

void BridgeHotKeys::refuse(Number number) {
    const auto found = registrations().find(number);
    if (found == registrations().end() || !found->second.held) {
        return;
    }
    found->second.held = false;
    shortcuts_.erase(number);
    bridge_.release(Standing::shortcutNumber(number));
    announceHolding({{found->second.identifier, false}});
}

bool BridgeHotKeys::grab(Number number, const backend::KeyCombination& combination) {
    // Two keys may have one name in the layout (a digit and its keypad twin): one shortcut.
    const auto keys = notation_(combination);
    if (!keys ||
        std::ranges::any_of(shortcuts_, [&](const auto& entry) { return entry.second == *keys; })) {
        return false;
    }
    shortcuts_[number] = *keys;
    bridge_.hold(Standing::shortcutNumber(number), commands::shortcut(number, *keys));
    return true;
}

void BridgeHotKeys::release(Number number, const backend::KeyCombination&) {
    shortcuts_.erase(number);
    bridge_.release(Standing::shortcutNumber(number));
    bridge_.send(commands::unshortcut(number));
}

} // namespace nivu::bridge
