// The session on Plasma's Wayland session.
#include "session/PlasmaSession.h"

#include "qt/DesktopCoordinates.h"

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
    : session_(std::move(session)) {}

PlasmaSession::~PlasmaSession() = default;

PointerEvents& PlasmaSession::pointer() {
    if (!pointer_) {
        pointer_ =
            std::make_unique<kwin::KWinPointerEvents>(session_->bridge(), desktopPointFromLogical);
    }
    return *pointer_;
}

HotKeyPlatform& PlasmaSession::hotKeys() {
    // The pointer follows each report before the hot keys see it: a press opens the menu where
    // the pointer was then.
    pointer();
    if (!hotKeys_) {
        hotKeys_ = std::make_unique<kwin::KWinHotKeys>(session_->bridge());
    }
    return *hotKeys_;
}

WindowPlacer PlasmaSession::windowPlacer() {
    return [this](const QString& title, QPoint topLeft, bool takesFocus) {
        session_->placeOwnWindow(title, topLeft, takesFocus);
    };
}

} // namespace nivu
