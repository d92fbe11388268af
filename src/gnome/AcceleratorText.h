// Key combinations as GNOME Shell's accelerators name them.
#pragma once

#include "backend/HotKeyBase.h"

#include <QString>
#include <optional>

namespace nivu::gnome {

// "<Super><Alt>r", from the key's keysym in the keyboard's layout; nothing for a key without
// one there.
std::optional<QString> acceleratorText(const backend::KeyCombination& combination);

} // namespace nivu::gnome
