// The session on GNOME's Wayland session: Nivu's GNOME Shell extension on the session bus.
#pragma once

#include "gnome/ExtensionSession.h"
#include "session/BridgeSession.h"

namespace nivu {

class GnomeSession final : public BridgeSession {
public:
    static std::unique_ptr<DesktopSession> open(Scheduler& scheduler, const Names& names,
                                                std::string& problem);

    Desktop& desktop() override { return session_->desktop(); }
    AccessNeed accessNeed() const override { return AccessNeed::gnomeExtension; }
    void observeAccessRefusal(
        std::function<void(TextKey why, const QString& detail)> onRefused) override {
        session_->link().onRefused = std::move(onRefused);
    }
    // Stock GNOME has no tray: the extension shows the menu in the top bar then.
    std::unique_ptr<StatusItem> statusItem(std::unique_ptr<StatusItem> tray) override;

private:
    explicit GnomeSession(std::unique_ptr<gnome::ExtensionSession> session);

    std::unique_ptr<gnome::ExtensionSession> session_;
};

} // namespace nivu
