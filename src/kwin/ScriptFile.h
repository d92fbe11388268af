// Nivu's KWin script as a file KWin can load: it ships inside the binary and is written, whole,
// to the user's runtime folder at each start.
#pragma once

#include <QString>
#include <optional>

namespace nivu::kwin {

// The script's path; nothing (and one line on stderr) when it cannot be written.
std::optional<QString> writeScriptFile();

} // namespace nivu::kwin
