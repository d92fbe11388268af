// The status item as a QSystemTrayIcon (XEmbed tray or StatusNotifierItem) with a QMenu that
// opens on either mouse button. Where the compositor side places Nivu's windows (Wayland), the
// menu Nivu opens itself is a window of its own that the compositor puts at the pointer.
#pragma once

#include "platform/StatusItem.h"
#include "qt/PendingDeactivation.h"
#include "qt/QtIndicatorView.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <vector>

namespace nivu {

class QtStatusItem final : public StatusItem {
public:
    explicit QtStatusItem(PendingDeactivation pendingDeactivation = PendingDeactivation({}),
                          WindowPlacer placeWindow = {});
    ~QtStatusItem() override;

    bool setImage(const std::string& name, const std::string& accessibilityDescription) override;
    void setMenu(Menu menu) override;
    void setEntryHidden(std::size_t index, bool hidden) override;
    std::size_t entryCount() const override { return actions_.size(); }

    QSystemTrayIcon& trayIcon() { return tray_; }
    QMenu& menu() { return menu_; }

private:
    void openMenu();

    PendingDeactivation pendingDeactivation_;
    WindowPlacer placeWindow_;
    QSystemTrayIcon tray_;
    bool trayMissingAnnounced_ = false;
    QMenu menu_;
    std::vector<QAction*> actions_;
};

} // namespace nivu
