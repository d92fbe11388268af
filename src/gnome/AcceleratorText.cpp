// Naming a combination as GTK's accelerator parser, which GNOME Shell uses, reads it.
#include "gnome/AcceleratorText.h"

#include "bridge/BridgeHotKeys.h"

#include <array>
#include <xkbcommon/xkbcommon.h>

namespace nivu::gnome {

std::optional<QString> acceleratorText(const backend::KeyCombination& combination) {
    const auto keysym = bridge::layoutKeysym(combination.evdevCode);
    std::array<char, 64> name{};
    if (!keysym || xkb_keysym_get_name(*keysym, name.data(), name.size()) <= 0) {
        return std::nullopt;
    }
    const Modifiers modifiers = combination.modifiers;
    QString text;
    text += modifiers.has(Modifier::command) ? QStringLiteral("<Super>") : QString();
    text += modifiers.has(Modifier::option) ? QStringLiteral("<Alt>") : QString();
    text += modifiers.has(Modifier::control) ? QStringLiteral("<Control>") : QString();
    text += modifiers.has(Modifier::shift) ? QStringLiteral("<Shift>") : QString();
    return text + QString::fromLatin1(name.data());
}

} // namespace nivu::gnome
