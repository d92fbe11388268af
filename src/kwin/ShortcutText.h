// Key combinations as KWin's global shortcuts name them.
#pragma once

#include "backend/HotKeyBase.h"

#include <QString>
#include <optional>

namespace nivu::kwin {

// "Meta+Alt+R", from the key's name in the keyboard's layout; nothing for a key without a
// name there.
std::optional<QString> shortcutText(const backend::KeyCombination& combination);

} // namespace nivu::kwin
