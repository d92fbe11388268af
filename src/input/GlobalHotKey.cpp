// System-wide key combinations and their shared registry.
#include "input/GlobalHotKey.h"

#include <algorithm>

namespace nivu {

int HotKeyRegistry::handleHotKeyEvent(const HotKeyIdentifier* identifier) {
    if (!identifier) {
        return 0;
    }
    // The signature is not compared. The action is taken out of the table before it runs, so
    // that it may register or unregister hot keys itself.
    const auto found = registrations_.find(identifier->id);
    if (found == registrations_.end()) {
        return 0;
    }
    const std::function<void()> action = found->second.action;
    if (action) {
        action();
    }
    return 0;
}

bool HotKeyRegistry::isLost(std::uint32_t keyCode, std::uint32_t modifiers) const {
    return std::ranges::any_of(registrations_, [&](const auto& entry) {
        const Registration& registration = entry.second;
        return registration.lost && registration.keyCode == keyCode &&
               registration.modifiers == modifiers;
    });
}

std::unique_ptr<GlobalHotKey> GlobalHotKey::create(HotKeyRegistry& registry, std::uint32_t keyCode,
                                                   std::uint32_t modifiers,
                                                   std::function<void()> action) {
    if (!registry.eventHandlerInstalled_) {
        // Installed once, before the first registration, and kept even when that fails; a
        // failed installation is tried again at the next construction.
        registry.eventHandlerInstalled_ = registry.platform_.installEventHandler(
            [&registry](HotKeyIdentifier identifier) { registry.handleHotKeyEvent(&identifier); });
    }
    if (!registry.holding_) {
        registry.holding_ =
            registry.platform_.observeHolding([&registry](HotKeyIdentifier identifier, bool held) {
                if (const auto found = registry.registrations_.find(identifier.id);
                    found != registry.registrations_.end() && found->second.lost == held) {
                    found->second.lost = !held;
                    registry.lossesChanged.emit();
                }
            });
    }
    // Ids are used up whether or not the registration succeeds.
    const std::uint32_t id = registry.nextID_++;
    auto handle = registry.platform_.registerHotKey(
        keyCode, modifiersOfCarbonBits(modifiers), HotKeyIdentifier{HotKeyRegistry::signature, id});
    if (!handle) {
        return nullptr;
    }
    registry.registrations_[id] = {std::move(action), keyCode, modifiers};
    return std::unique_ptr<GlobalHotKey>(new GlobalHotKey(registry, id, std::move(handle)));
}

void GlobalHotKey::unregister() {
    if (hotKeyRef_) {
        registry_.platform_.unregisterHotKey(std::move(hotKeyRef_));
        hotKeyRef_.reset();
    }
    if (registry_.registrations_.erase(id_) > 0) {
        registry_.lossesChanged.emit();
    }
}

} // namespace nivu
