// Global shortcuts registered by the script.
#include "kwin/KWinHotKeys.h"

#include <QJsonObject>
#include <QKeySequence>
#include <algorithm>
#include <memory>
#include <xkbcommon/xkbcommon.h>

namespace nivu::kwin {

namespace {
constexpr int evdevToXkb = 8;

// The layout's keysym at the key's first level, as Qt names keys.
std::optional<int> qtKeyOfKeysym(xkb_keysym_t keysym) {
    if (keysym >= 0x20 && keysym <= 0x7e) {
        return static_cast<int>(QChar::toUpper(static_cast<char32_t>(keysym)));
    }
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F35) {
        return Qt::Key_F1 + static_cast<int>(keysym - XKB_KEY_F1);
    }
    static const std::map<xkb_keysym_t, int> named{
        {XKB_KEY_Return, Qt::Key_Return}, {XKB_KEY_Tab, Qt::Key_Tab},
        {XKB_KEY_Escape, Qt::Key_Escape}, {XKB_KEY_BackSpace, Qt::Key_Backspace},
        {XKB_KEY_Delete, Qt::Key_Delete}, {XKB_KEY_Insert, Qt::Key_Insert},
        {XKB_KEY_Home, Qt::Key_Home},     {XKB_KEY_End, Qt::Key_End},
        {XKB_KEY_Prior, Qt::Key_PageUp},  {XKB_KEY_Next, Qt::Key_PageDown},
        {XKB_KEY_Left, Qt::Key_Left},     {XKB_KEY_Right, Qt::Key_Right},
        {XKB_KEY_Up, Qt::Key_Up},         {XKB_KEY_Down, Qt::Key_Down},
    };
    const auto found = named.find(keysym);
    return found == named.end() ? std::nullopt : std::optional(found->second);
}

std::optional<xkb_keysym_t> keysymOfEvdevCode(int evdevCode) {
    // The default layout (XKB_DEFAULT_LAYOUT, else us): KWin matches shortcuts by keysym.
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
} // namespace

std::optional<QString> shortcutText(const backend::KeyCombination& combination) {
    const auto keysym = keysymOfEvdevCode(combination.evdevCode);
    const auto key = keysym ? qtKeyOfKeysym(*keysym) : std::nullopt;
    if (!key) {
        return std::nullopt;
    }
    const Modifiers modifiers = combination.modifiers;
    int keys = *key;
    keys |= modifiers.has(Modifier::command) ? Qt::MetaModifier : 0;
    keys |= modifiers.has(Modifier::option) ? Qt::AltModifier : 0;
    keys |= modifiers.has(Modifier::control) ? Qt::ControlModifier : 0;
    keys |= modifiers.has(Modifier::shift) ? Qt::ShiftModifier : 0;
    return QKeySequence(keys).toString(QKeySequence::PortableText);
}

KWinHotKeys::KWinHotKeys(ScriptBridge& bridge)
    : bridge_(bridge)
    , reports_(bridge.reports.connect([this](const ScriptReport& report) {
        if (report.kind == ScriptReport::Kind::hotKey) {
            pressed(report.shortcut);
        }
    })) {}

bool KWinHotKeys::grab(Number number, const backend::KeyCombination& combination) {
    // Two keys may have one name in the layout (a digit and its keypad twin): one shortcut.
    const auto keys = shortcutText(combination);
    if (!keys ||
        std::ranges::any_of(shortcuts_, [&](const auto& entry) { return entry.second == *keys; })) {
        return false;
    }
    shortcuts_[number] = *keys;
    bridge_.hold(QStringLiteral("shortcut %1").arg(number),
                 QJsonObject{{QStringLiteral("c"), QStringLiteral("shortcut")},
                             {QStringLiteral("id"), static_cast<double>(number)},
                             {QStringLiteral("keys"), *keys}});
    return true;
}

void KWinHotKeys::release(Number number, const backend::KeyCombination&) {
    shortcuts_.erase(number);
    bridge_.release(QStringLiteral("shortcut %1").arg(number));
    bridge_.send(QJsonObject{{QStringLiteral("c"), QStringLiteral("unshortcut")},
                             {QStringLiteral("id"), static_cast<double>(number)}});
}

} // namespace nivu::kwin
