// A menu as the core builds it and the toolkit shows it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace nivu {

struct MenuEntry {
    bool isSeparator = false;
    std::string title;
    // A key pressed with the platform's menu modifier (Ctrl on Linux), e.g. "q"; empty for none.
    std::string keyEquivalent;
    bool hidden = false;
    bool enabled = true;
    // Runs when the entry is chosen; empty for entries without an action.
    std::function<void()> action;

    static MenuEntry separator() {
        MenuEntry entry;
        entry.isSeparator = true;
        return entry;
    }
};

using Menu = std::vector<MenuEntry>;

} // namespace nivu
