// What the compositor side (KWin's script, GNOME Shell's extension) reports to Nivu: one JSON
// object per call, {"report": kind, ...}, one type per kind. Anything malformed reads as nothing.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace nivu::bridge {

// The pointer, in the compositor's logical coordinates (y down).
using Cursor = std::pair<double, double>;

// The compositor side runs and reports from here on; "goodbye": it stops (the extension is
// turned off).
struct HelloReport {};
struct GoodbyeReport {};
// A window, once it is shown.
struct WindowReport {
    std::string id;   // the compositor's window id
    std::string app;  // what names the program to the user: its application id or class
    std::string role; // an X11 window's WM_WINDOW_ROLE
    std::int32_t pid = 0;
    int width = 0; // the client area: without the compositor's title bar and borders
    int height = 0;
    bool normal = false;
    bool dialog = false;
    bool resizable = false;
    bool existing = false; // there before the compositor side started
};
struct SizeReport {
    std::string id;
    int width = 0;
    int height = 0;
    std::optional<Cursor> cursor;
};
struct ClosedReport {
    std::string id;
};
// The window that took the focus; an empty id: none.
struct ActiveReport {
    std::string id;
};
// A step of a user's interactive move or resize ("drag"), or its end ("up").
struct PointerReport {
    std::string id;
    bool released = false;
    Cursor cursor;
};
// A press of a shortcut, by the number Nivu gave it.
struct HotKeyReport {
    std::uint32_t shortcut = 0;
    Cursor cursor;
};

// A shortcut the compositor would not grab: another program holds it.
struct RefusedReport {
    std::uint32_t shortcut = 0;
};

// An entry of the status menu in the compositor's panel, chosen, by its place in the menu.
struct MenuReport {
    std::size_t entry = 0;
};

using Report = std::variant<HelloReport, GoodbyeReport, WindowReport, SizeReport, ClosedReport,
                            ActiveReport, PointerReport, HotKeyReport, RefusedReport, MenuReport>;

std::optional<Report> parseReport(const QByteArray& json);
// Where the pointer was, for a report that says.
std::optional<Cursor> cursorOf(const Report& report);

} // namespace nivu::bridge
