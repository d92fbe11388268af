// The bookkeeping that every hot-key backend shares: the combination that a virtual key code
// and modifiers name (by the key's position), the refusal of a key without modifiers and of a
// combination Nivu holds already, the registrations, the one handler and the changes of
// holding. A backend only converts a combination into its own form and grabs it.
#pragma once

#include "platform/HotKeys.h"

#include <map>
#include <optional>
#include <vector>

namespace nivu::backend {

// A key combination by the key's position on the keyboard (its evdev code) and its modifiers.
struct KeyCombination {
    int evdevCode = 0;
    Modifiers modifiers;
    friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};

// The combination of a virtual key code and modifiers; nothing for a key without a position or
// without modifiers, which would be taken from every program.
std::optional<KeyCombination> keyCombination(std::uint32_t virtualKeyCode, Modifiers modifiers);

class HotKeyBase : public HotKeyPlatform {
public:
    bool installEventHandler(std::function<void(HotKeyIdentifier)> handler) override;
    std::unique_ptr<HotKeyHandle> registerHotKey(std::uint32_t keyCode, Modifiers modifiers,
                                                 HotKeyIdentifier identifier) final;
    void unregisterHotKey(std::unique_ptr<HotKeyHandle> handle) final;
    Subscription observeHolding(std::function<void(HotKeyIdentifier, bool)> onChange) final;

protected:
    using Number = std::uint32_t; // a registration's own number, never used again
    struct Registration {
        HotKeyIdentifier identifier;
        KeyCombination combination;
        // False while the platform no longer holds it (another program took the combination):
        // it stays registered, holding nothing, until unregistered.
        bool held = true;
    };

    // Grabs the combination for the registration of that number; false where the platform
    // refuses it.
    virtual bool grab(Number number, const KeyCombination& combination) = 0;
    // Lets a held registration's combination go.
    virtual void release(Number number, const KeyCombination& combination) = 0;

    // A press of the registration's combination: the handler hears of it while it is held.
    void pressed(Number number);
    // Tells the observers of holding, once the backend has made all changes of a pass (they may
    // register or unregister meanwhile).
    void announceHolding(const std::vector<std::pair<HotKeyIdentifier, bool>>& changes);
    std::map<Number, Registration>& registrations() { return registrations_; }

private:
    class Handle;

    std::function<void(HotKeyIdentifier)> handler_;
    std::map<Number, Registration> registrations_;
    Number nextNumber_ = 1;
    Signal<HotKeyIdentifier, bool> holdingChanged_;
};

} // namespace nivu::backend
