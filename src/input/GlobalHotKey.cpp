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
    const auto found = handlers_.find(identifier->id);
    if (found == handlers_.end()) {
        return 0;
    }
    const std::function<void()> action = found->second;
    if (action) {
        action();
    }
    return 0;
}

bool HotKeyRegistry::isLost(std::uint32_t keyCode, std::uint32_t modifiers) const {
    return std::ranges::any_of(registered_, [&](const auto& entry) {
        const Combination& combination = entry.second;
        return combination.lost && combination.keyCode == keyCode &&
               combination.modifiers == modifiers;
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
                if (const auto found = registry.registered_.find(identifier.id);
                    found != registry.registered_.end() && found->second.lost == held) {
                    found->second.lost = !held;
                    registry.lossesChanged.emit();
                }
            });
    }
    // Ids are used up whether or not the registration succeeds.
    const std::uint32_t id = registry.nextID_++;
    auto handle = registry.platform_.registerHotKey(
        keyCode, modifiers, HotKeyIdentifier{HotKeyRegistry::signature, id});
    if (!handle) {
        return nullptr;
    }
    registry.handlers_[id] = std::move(action);
    registry.registered_[id] = {keyCode, modifiers};
    return std::unique_ptr<GlobalHotKey>(new GlobalHotKey(registry, id, std::move(handle)));
}

void GlobalHotKey::unregister() {
    if (hotKeyRef_) {
        registry_.platform_.unregisterHotKey(std::move(hotKeyRef_));
        hotKeyRef_.reset();
    }
    registry_.handlers_.erase(id_);
    if (registry_.registered_.erase(id_) > 0) {
        registry_.lossesChanged.emit();
    }
}

} // namespace nivu
