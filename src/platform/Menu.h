// A menu as the core builds it and the toolkit shows it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace nivu {

struct MenuEntry {
    bool isSeparator = false;
    std::string title;
    // How many bytes at the title's start (a name the user chose) may be shortened in the
    // middle where the title is wider than a menu should be; 0 keeps the whole title.
    std::size_t elidableLength = 0;
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
