// One report of Nivu's KWin script, read from its JSON text; anything malformed reads as nothing.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>

namespace nivu::kwin {

struct ScriptReport {
    enum class Kind { window, size, closed, active };
    Kind kind = Kind::window;
    std::string id; // KWin's window id; empty in "active" when no window is active
    // "window" only:
    std::string resourceClass;
    std::string role;
    std::int32_t pid = 0;
    bool normal = false;
    bool dialog = false;
    bool resizable = false;
    bool existing = false; // there before the script started
    // "window" and "size": the client area.
    int width = 0;
    int height = 0;
};

std::optional<ScriptReport> parseScriptReport(const QByteArray& json);

} // namespace nivu::kwin
