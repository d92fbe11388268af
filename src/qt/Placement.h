// Nivu's own windows that the compositor side places on Wayland, where a program cannot place
// its windows. The compositor knows them only by their titles and Nivu's process id, so each
// role's title is written here once.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

namespace nivu {

enum class OwnWindow { badge, presetMenu, statusMenu };

inline QString titleOf(OwnWindow window) {
    switch (window) {
    case OwnWindow::badge:
        return QStringLiteral("Nivu size");
    case OwnWindow::presetMenu:
        return QStringLiteral("Nivu presets");
    case OwnWindow::statusMenu:
        return QStringLiteral("Nivu menu");
    }
    return {};
}

// Where one of them goes.
struct Placement {
    QPoint topLeft;
    // Instead: at the pointer, where it is when the compositor side takes the placement (a
    // tray icon's menu, where only the compositor knows the pointer).
    bool atPointer = false;
    // Only a window that takes the focus (a menu) keeps it when shown.
    bool takesFocus = false;
    // While a user moves or resizes a window, the compositor itself keeps this one so far beside
    // the pointer (to the other side where a screen's edge leaves no room), in the frame of each
    // step of the pointer; topLeft then counts only outside a drag.
    std::optional<int> besidePointer;
};

// Puts one of Nivu's windows there; empty where Qt's own move places them.
using WindowPlacer = std::function<void(OwnWindow window, const Placement& placement)>;

} // namespace nivu
