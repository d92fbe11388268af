// System-wide hot keys as passive key grabs on the root window, one for each Caps Lock and Num
// Lock state. BadAccess (another client or the window manager holds the combination) is a
// refusal, and so is a combination Nivu holds already. A keyboard change grabs anew; a grab
// refused then is let go and said once.
#pragma once

#include "platform/HotKeys.h"
#include "x11/X11Connection.h"

#include <list>

namespace nivu::x11 {

class X11HotKeys final : public HotKeyPlatform {
public:
    explicit X11HotKeys(X11Connection& connection);
    ~X11HotKeys() override;

    bool installEventHandler(std::function<void(HotKeyIdentifier)> handler) override;
    std::unique_ptr<HotKeyHandle> registerHotKey(std::uint32_t keyCode, Modifiers modifiers,
                                                 HotKeyIdentifier identifier) override;
    void unregisterHotKey(std::unique_ptr<HotKeyHandle> handle) override;
    Subscription observeHolding(std::function<void(HotKeyIdentifier, bool)> onChange) override;

    // X modifier bits for Carbon bits: Command = Super (Mod4), Option = Alt (Mod1).
    static std::uint16_t xModifiers(Modifiers modifiers);

private:
    struct Grab {
        xcb_keycode_t keycode;
        std::uint16_t modifiers;
        HotKeyIdentifier identifier;
        // False while a keyboard change has made another program's grab collide with ours:
        // the registration stays until unregistered, but holds nothing.
        bool held = true;
    };
    class Handle;

    std::uint16_t numLockMask();
    // The lock states a grab must cover so that Caps Lock and Num Lock change nothing.
    std::vector<std::uint16_t> lockVariants() const;
    bool grab(const Grab& grab);
    void ungrab(const Grab& grab);
    void handleKeyPress(const xcb_generic_event_t& event);
    void handleMappingNotify(const xcb_generic_event_t& event);

    X11Connection& x_;
    std::function<void(HotKeyIdentifier)> handler_;
    std::list<Grab> grabs_;
    std::uint16_t numLock_ = 0;
    std::vector<Subscription> subscriptions_;
    Signal<HotKeyIdentifier, bool> holdingChanged_;
};

} // namespace nivu::x11
