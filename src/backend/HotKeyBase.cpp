// What every hot-key backend keeps of its registrations.
#include "backend/HotKeyBase.h"

#include "common/KeyPositions.h"

#include <algorithm>

namespace nivu::backend {

std::optional<KeyCombination> keyCombination(std::uint32_t virtualKeyCode, Modifiers modifiers) {
    const auto evdev = virtualKeyCode <= 0xFFFF
                           ? evdevCodeForVirtualKey(static_cast<std::uint16_t>(virtualKeyCode))
                           : std::nullopt;
    if (!evdev || modifiers.empty()) {
        return std::nullopt;
    }
    return KeyCombination{*evdev, modifiers};
}

class HotKeyBase::Handle final : public HotKeyHandle {
public:
    explicit Handle(Number number)
        : number(number) {}
    const Number number;
};

bool HotKeyBase::installEventHandler(std::function<void(HotKeyIdentifier)> handler) {
    handler_ = std::move(handler);
    return true;
}

std::unique_ptr<HotKeyHandle> HotKeyBase::registerHotKey(std::uint32_t keyCode, Modifiers modifiers,
                                                         HotKeyIdentifier identifier) {
    const auto combination = keyCombination(keyCode, modifiers);
    if (!combination || std::ranges::any_of(registrations_, [&](const auto& entry) {
            return entry.second.held && entry.second.combination == *combination;
        })) {
        return nullptr;
    }
    const Number number = nextNumber_++;
    if (!grab(number, *combination)) {
        return nullptr;
    }
    registrations_[number] = Registration{identifier, *combination};
    return std::make_unique<Handle>(number);
}

void HotKeyBase::unregisterHotKey(std::unique_ptr<HotKeyHandle> handle) {
    const auto* ours = dynamic_cast<const Handle*>(handle.get());
    const auto found = ours ? registrations_.find(ours->number) : registrations_.end();
    if (found == registrations_.end()) {
        return;
    }
    if (found->second.held) {
        release(found->first, found->second.combination);
    }
    registrations_.erase(found);
}

Subscription HotKeyBase::observeHolding(std::function<void(HotKeyIdentifier, bool)> onChange) {
    return holdingChanged_.connect(std::move(onChange));
}

void HotKeyBase::pressed(Number number) {
    const auto found = registrations_.find(number);
    if (found != registrations_.end() && found->second.held && handler_) {
        handler_(found->second.identifier);
    }
}

void HotKeyBase::announceHolding(const std::vector<std::pair<HotKeyIdentifier, bool>>& changes) {
    for (const auto& [identifier, held] : changes) {
        holdingChanged_.emit(identifier, held);
    }
}

} // namespace nivu::backend
