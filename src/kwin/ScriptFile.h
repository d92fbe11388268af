// Nivu's KWin script as a file KWin can load: it ships inside the binary and is written, whole,
// to the user's runtime folder at each start, after a first line that names the bus name it
// reports to.
#pragma once

#include <QString>
#include <optional>

namespace nivu::kwin {

// Where the script of that name is written.
QString scriptFilePath(const QString& scriptName);

// Writes the script that reports to service; its path, or nothing when it cannot be written.
std::optional<QString> writeScriptFile(const QString& service, const QString& scriptName);

} // namespace nivu::kwin
