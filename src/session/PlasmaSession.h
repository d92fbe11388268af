// The session on Plasma's Wayland session: KWin's script on the session bus, and the pointer
// and hot keys that the script reports, made when first asked for.
#pragma once

#include "kwin/KWinHotKeys.h"
#include "kwin/KWinPointerEvents.h"
#include "kwin/KWinSession.h"
#include "session/DesktopSession.h"

namespace nivu {

class PlasmaSession final : public DesktopSession {
public:
    static std::unique_ptr<DesktopSession> open(Scheduler& scheduler, const Names& names,
                                                std::string& problem);
    ~PlasmaSession() override;

    Desktop& desktop() override { return session_->desktop(); }
    PointerEvents& pointer() override;
    HotKeyPlatform& hotKeys() override;
    bool compositing() override { return true; } // KWin composites always
    std::function<std::uint64_t()> keyboardFocus() override { return {}; }
    WindowPlacer windowPlacer() override;
    AccessNeed accessNeed() const override { return AccessNeed::kwinScript; }
    // The session-bus name was taken when the session opened.
    bool claim(std::function<void()>, std::string&) override { return true; }
    // KWin going away is lost window access, which the desktop reports itself.
    Subscription observeDisplayLoss(std::function<void(const std::string&)>) override { return {}; }

private:
    explicit PlasmaSession(std::unique_ptr<kwin::KWinSession> session);

    std::unique_ptr<kwin::KWinSession> session_;
    std::unique_ptr<kwin::KWinPointerEvents> pointer_;
    std::unique_ptr<kwin::KWinHotKeys> hotKeys_;
};

} // namespace nivu
