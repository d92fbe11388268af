// The session on Plasma's Wayland session: KWin's script on the session bus.
#pragma once

#include "kwin/KWinSession.h"
#include "session/BridgeSession.h"

namespace nivu {

class PlasmaSession final : public BridgeSession {
public:
    static std::unique_ptr<DesktopSession> open(Scheduler& scheduler, const Names& names,
                                                std::string& problem);

    Desktop& desktop() override { return session_->desktop(); }
    AccessNeed accessNeed() const override { return AccessNeed::kwinScript; }

private:
    explicit PlasmaSession(std::unique_ptr<kwin::KWinSession> session);

    std::unique_ptr<kwin::KWinSession> session_;
};

} // namespace nivu
