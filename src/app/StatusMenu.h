// The status item in the tray and its menu: grant access, settings, about, quit.
#pragma once

#include "platform/Shell.h"
#include "platform/StatusItem.h"

#include <functional>
#include <memory>
#include <string>

namespace nivu {

class StatusMenu {
public:
    struct Actions {
        std::function<void()> requestAccessibilityPermission;
        std::function<void()> showSettings;
        std::function<void()> showAbout;
        std::function<void()> quit;
    };

    static constexpr const char* imageName = "MenuBarIcon";
    static constexpr const char* accessibilityDescription = "Nivu";
    static constexpr std::size_t grantEntryIndex = 0;

    // The seven entries with their titles looked up in the user's language; the first is
    // hidden when access is granted (asked right after that entry is made).
    static Menu entries(Shell& shell, const Actions& actions,
                        const std::function<bool()>& accessGranted);

    // Creates the item with its image and menu.
    void setupStatusItem(Shell& shell, const Actions& actions,
                         const std::function<bool()>& accessGranted);
    // Hides "Grant Accessibility Access…" once access has arrived, shows it when it is lost.
    void setGrantEntryHidden(bool hidden);

private:
    std::unique_ptr<StatusItem> statusItem_;
};

} // namespace nivu
