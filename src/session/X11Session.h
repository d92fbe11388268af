// The session on an X display: one connection, its desktop, and the pointer and hot keys
// made when first asked for.
#pragma once

#include "session/DesktopSession.h"
#include "x11/InstanceLock.h"
#include "x11/X11Connection.h"
#include "x11/X11Desktop.h"
#include "x11/X11HotKeys.h"
#include "x11/X11PointerEvents.h"

namespace nivu {

class X11Session final : public DesktopSession {
public:
    static std::unique_ptr<DesktopSession> open(Scheduler& scheduler, std::string& problem);
    ~X11Session() override;

    Desktop& desktop() override { return desktop_; }
    PointerEvents& pointer() override;
    HotKeyPlatform& hotKeys() override;
    bool compositing() override;
    std::function<std::uint64_t()> keyboardFocus() override;
    WindowPlacer windowPlacer() override { return {}; }
    AccessNeed accessNeed() const override { return AccessNeed::windowManager; }
    bool claim(std::function<void()> onTakenOver, std::string& problem) override;
    Subscription observeDisplayLoss(std::function<void(const std::string&)> onLost) override;

private:
    X11Session(std::unique_ptr<x11::X11Connection> connection, Scheduler& scheduler);

    std::unique_ptr<x11::X11Connection> connection_;
    x11::X11Desktop desktop_;
    std::unique_ptr<x11::X11PointerEvents> pointer_;
    std::unique_ptr<x11::X11HotKeys> hotKeys_;
    std::unique_ptr<x11::InstanceLock> instance_;
};

} // namespace nivu
