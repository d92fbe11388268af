// The status menu in the compositor's own panel (GNOME Shell's top bar), where no
// StatusNotifier host shows tray icons: stock GNOME has none. Where a host runs, the tray icon
// serves, as elsewhere, and the panel has nothing of Nivu's.
#pragma once

#include "bridge/ScriptBridge.h"
#include "platform/StatusItem.h"

#include <QDBusServiceWatcher>
#include <memory>

namespace nivu::bridge {

class PanelStatusItem final : public StatusItem {
public:
    // tray: the status item that a StatusNotifier host shows, which holds the entries as well.
    PanelStatusItem(ScriptBridge& bridge, std::unique_ptr<StatusItem> tray);
    ~PanelStatusItem() override;

    bool setImage(const std::string& name, const std::string& accessibilityDescription) override;
    void setMenu(Menu menu) override;
    void setEntryHidden(std::size_t index, bool hidden) override;
    std::size_t entryCount() const override { return tray_->entryCount(); }

private:
    void send();
    void choose(std::size_t index);

    ScriptBridge& bridge_;
    std::unique_ptr<StatusItem> tray_;
    Menu entries_;
    QDBusServiceWatcher hostWatcher_;
    bool hostPresent_ = false;
    Subscription reports_;
};

} // namespace nivu::bridge
