// What Nivu asks of the compositor side: one JSON object per command, {"command": kind, ...}.
// The compositor side applies them and decides nothing.
#pragma once

#include "platform/Menu.h"

#include <QJsonObject>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace nivu::bridge::commands {

// The window's client area takes the size, inside the work area; its frame keeps its top left.
QJsonObject size(const std::string& id, int width, int height);
// Nivu's own window of this title and process is kept with its top left at the point (at the
// pointer, where it is as the compositor side takes the command, with atPointer), inside the
// screen, above the others and out of the reports. One that takes the focus is given it as it
// shows; one that does not gives it back to the window that had it. besidePointer: while a
// user moves or resizes a window, the compositor side keeps it so far right of and below the
// pointer (left or above where the screen ends) at each step, before the compositor draws it.
QJsonObject place(const QString& title, std::int64_t pid, QPoint topLeft, bool atPointer,
                  bool takesFocus, std::optional<int> besidePointer);
// The status menu in the compositor's panel: the entries' titles in order (a hidden one and a
// separator keep their places), each chosen one reported by its place; no entries: none there.
QJsonObject statusMenu(const Menu& entries);
// The key combination, in the compositor's own notation, reports its presses under the number;
// "unshortcut": no longer.
QJsonObject shortcut(std::uint32_t number, const QString& keys);
QJsonObject unshortcut(std::uint32_t number);

} // namespace nivu::bridge::commands
