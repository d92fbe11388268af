// One report of Nivu's KWin script, read from its JSON text; anything malformed reads as nothing.
// An interactive move or resize reports each step of the pointer ("drag") and its release ("up");
// a registered shortcut reports its presses ("hotkey").
#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace nivu::kwin {

struct ScriptReport {
    enum class Kind { window, size, closed, active, drag, up, hotKey };
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
    // "hotKey": the number of the shortcut pressed, as Nivu registered it.
    std::uint32_t shortcut = 0;
    // "size", "drag", "up" and "hotKey": the pointer then, in KWin's coordinates (y down).
    std::optional<std::pair<double, double>> cursor;
};

std::optional<ScriptReport> parseScriptReport(const QByteArray& json);

} // namespace nivu::kwin
