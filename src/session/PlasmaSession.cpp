// The session on Plasma's Wayland session.
#include "session/PlasmaSession.h"

#include "kwin/ShortcutText.h"

namespace nivu {

std::unique_ptr<DesktopSession> PlasmaSession::open(Scheduler& scheduler, const Names& names,
                                                    std::string& problem) {
    auto session = kwin::KWinSession::connect(scheduler, {names.service, names.script}, problem);
    if (!session) {
        return nullptr;
    }
    return std::unique_ptr<DesktopSession>(new PlasmaSession(std::move(session)));
}

PlasmaSession::PlasmaSession(std::unique_ptr<kwin::KWinSession> session)
    : BridgeSession(session->bridge(), kwin::shortcutText)
    , session_(std::move(session)) {}

} // namespace nivu
