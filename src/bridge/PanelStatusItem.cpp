// The status menu in the compositor's panel.
#include "bridge/PanelStatusItem.h"

#include "bridge/Commands.h"

#include <QDBusConnectionInterface>

namespace nivu::bridge {

namespace {
// Who shows StatusNotifier items registers here (Plasma's panel, GNOME's AppIndicator extension).
const QString statusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
} // namespace

PanelStatusItem::PanelStatusItem(ScriptBridge& bridge, std::unique_ptr<StatusItem> tray)
    : bridge_(bridge)
    , tray_(std::move(tray))
    , hostWatcher_(statusNotifierWatcher, bridge.bus(),
                   QDBusServiceWatcher::WatchForRegistration |
                       QDBusServiceWatcher::WatchForUnregistration)
    , reports_(bridge.reports.connect([this](const Report& report) {
        if (const auto* choice = std::get_if<MenuReport>(&report)) {
            choose(choice->entry);
        }
    })) {
    const auto* daemon = bridge.bus().interface();
    hostPresent_ = daemon && daemon->isServiceRegistered(statusNotifierWatcher).value();
    QObject::connect(&hostWatcher_, &QDBusServiceWatcher::serviceRegistered, [this] {
        hostPresent_ = true;
        send();
    });
    QObject::connect(&hostWatcher_, &QDBusServiceWatcher::serviceUnregistered, [this] {
        hostPresent_ = false;
        send();
    });
}

PanelStatusItem::~PanelStatusItem() {
    bridge_.send(commands::statusMenu({}));
    bridge_.release(Standing::statusMenu());
}

bool PanelStatusItem::setImage(const std::string& name,
                               const std::string& accessibilityDescription) {
    return tray_->setImage(name, accessibilityDescription);
}

void PanelStatusItem::setMenu(Menu menu) {
    entries_ = menu;
    tray_->setMenu(std::move(menu));
    send();
}

void PanelStatusItem::setEntryHidden(std::size_t index, bool hidden) {
    tray_->setEntryHidden(index, hidden);
    if (index < entries_.size() && entries_[index].hidden != hidden) {
        entries_[index].hidden = hidden;
        send();
    }
}

void PanelStatusItem::send() {
    bridge_.hold(Standing::statusMenu(), commands::statusMenu(hostPresent_ ? Menu{} : entries_));
}

// A choice comes from the panel as the entry's place in the menu that was sent.
void PanelStatusItem::choose(std::size_t index) {
    if (hostPresent_ || index >= entries_.size()) {
        return;
    }
    const MenuEntry& entry = entries_[index];
    if (entry.isSeparator || entry.hidden || !entry.enabled || !entry.action) {
        return;
    }
    const auto action = entry.action; // it may change the menu
    action();
}

} // namespace nivu::bridge
