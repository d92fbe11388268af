// Naming a combination as Qt's key sequences do, which KWin reads.
#include "kwin/ShortcutText.h"

#include "bridge/BridgeHotKeys.h"

#include <QKeySequence>
#include <map>
#include <xkbcommon/xkbcommon.h>

namespace nivu::kwin {

namespace {
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
} // namespace

std::optional<QString> shortcutText(const backend::KeyCombination& combination) {
    const auto keysym = bridge::layoutKeysym(combination.evdevCode);
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

} // namespace nivu::kwin
