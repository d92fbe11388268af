// The status item and its menu.
#include "app/StatusMenu.h"

namespace nivu {

namespace {
MenuEntry entry(Shell& shell, TextKey title, std::function<void()> action,
                const char* keyEquivalent = "") {
    MenuEntry item;
    item.title = shell.localizedString(title);
    item.action = std::move(action);
    item.keyEquivalent = keyEquivalent;
    return item;
}
} // namespace

Menu StatusMenu::entries(Shell& shell, const Actions& actions,
                         const std::function<bool()>& accessGranted) {
    Menu menu;
    menu.push_back(entry(
        shell,
        Text::tr("Grant Accessibility Access\u2026", "アクセシビリティ権限を要求するメニュー項目"),
        actions.requestAccessibilityPermission));
    menu.back().hidden = accessGranted();
    menu.push_back(MenuEntry::separator());
    menu.push_back(entry(shell, Text::tr("Settings\u2026", "設定を開くメニュー項目"),
                         actions.showSettings, ","));
    menu.push_back(MenuEntry::separator());
    menu.push_back(
        entry(shell, Text::tr("About Nivu", "Aboutパネルを開くメニュー項目"), actions.showAbout));
    menu.push_back(MenuEntry::separator());
    menu.push_back(entry(shell, Text::tr("Quit Nivu", "終了メニュー項目"), actions.quit, "q"));
    return menu;
}

void StatusMenu::setupStatusItem(Shell& shell, const Actions& actions,
                                 const std::function<bool()>& accessGranted) {
    auto item = shell.createStatusItem();
    // Without the image the item still exists and opens its menu.
    item->setImage(imageName, accessibilityDescription);
    item->setMenu(entries(shell, actions, accessGranted));
    statusItem_ = std::move(item);
}

void StatusMenu::setGrantEntryHidden(bool hidden) {
    if (statusItem_ && statusItem_->entryCount() > 0) {
        statusItem_->setEntryHidden(grantEntryIndex, hidden);
    }
}

} // namespace nivu
