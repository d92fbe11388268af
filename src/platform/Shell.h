// What the controller asks of the user interface toolkit.
#pragma once

#include "common/Geometry.h"
#include "common/Text.h"
#include "platform/IndicatorView.h"
#include "platform/Menu.h"
#include "platform/StatusItem.h"

#include <memory>
#include <string>

namespace nivu {

class Shell {
public:
    Shell() = default;
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;
    virtual ~Shell() = default;

    // A new, hidden size badge. Never fails.
    virtual std::unique_ptr<IndicatorView> createIndicatorView() = 0;
    // A new item in the panel's tray (it appears whenever a tray is or becomes available).
    virtual std::unique_ptr<StatusItem> createStatusItem() = 0;
    // The text in the user's language; the key itself when there is no translation.
    virtual std::string localizedString(TextKey text) = 0;
    // Explains how window access is obtained (on X11: run an EWMH window manager). Returns at
    // once; the explanation stays until the user closes it.
    virtual void showAccessibilityPrompt() = 0;
    // Pops the menu up at a point (screen coordinates, y up) without activating Nivu; returns
    // when the menu has closed, after the chosen entry's action ran.
    virtual void popUpMenu(Menu menu, Point location) = 0;
    // Shows the one settings window (made at the first call) centred and in front.
    virtual void showSettingsWindow() = 0;
    // Brings Nivu forward and shows its About panel.
    virtual void showAboutPanel() = 0;
    // Ends the application; the controller's shut-down runs before the process exits.
    virtual void terminate() = 0;
};

} // namespace nivu
