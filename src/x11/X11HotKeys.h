// System-wide hot keys as passive key grabs on the root window, one for each Caps Lock and Num
// Lock state. BadAccess (another client or the window manager holds the combination) is a
// refusal, and so is a combination Nivu holds already. A keyboard change grabs anew; a grab
// refused then is let go and said once.
#pragma once

#include "backend/HotKeyBase.h"
#include "x11/X11Connection.h"

namespace nivu::x11 {

class X11HotKeys final : public backend::HotKeyBase {
public:
    explicit X11HotKeys(X11Connection& connection);
    ~X11HotKeys() override;

    bool installEventHandler(std::function<void(HotKeyIdentifier)> handler) override;

    // X modifier bits for Carbon bits: Command = Super (Mod4), Option = Alt (Mod1).
    static std::uint16_t xModifiers(Modifiers modifiers);

private:
    bool grab(Number number, const backend::KeyCombination& combination) override;
    void release(Number number, const backend::KeyCombination& combination) override;

    std::uint16_t numLockMask();
    // The lock states a grab must cover so that Caps Lock and Num Lock change nothing.
    std::vector<std::uint16_t> lockVariants() const;
    bool grabVariants(const backend::KeyCombination& combination);
    void ungrabVariants(const backend::KeyCombination& combination);
    void handleKeyPress(const xcb_generic_event_t& event);
    void handleMappingNotify(const xcb_generic_event_t& event);

    X11Connection& x_;
    std::uint16_t numLock_ = 0;
    std::vector<Subscription> subscriptions_;
};

} // namespace nivu::x11
