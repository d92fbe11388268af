// The session on GNOME's Wayland session.
#include "session/GnomeSession.h"

#include "bridge/PanelStatusItem.h"
#include "gnome/AcceleratorText.h"

namespace nivu {

std::unique_ptr<DesktopSession> GnomeSession::open(Scheduler& scheduler, const Names& names,
                                                   std::string& problem) {
    auto session = gnome::ExtensionSession::connect(scheduler, names.service, problem);
    if (!session) {
        return nullptr;
    }
    return std::unique_ptr<DesktopSession>(new GnomeSession(std::move(session)));
}

GnomeSession::GnomeSession(std::unique_ptr<gnome::ExtensionSession> session)
    : BridgeSession(session->bridge(), gnome::acceleratorText)
    , session_(std::move(session)) {}

std::unique_ptr<StatusItem> GnomeSession::statusItem(std::unique_ptr<StatusItem> tray) {
    return std::make_unique<bridge::PanelStatusItem>(session_->bridge(), std::move(tray));
}

} // namespace nivu
