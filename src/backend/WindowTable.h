// The windows a desktop backend knows, by its own key: each one's application, when it
// appeared, and the facts the backend keeps of it.
#pragma once

#include "backend/WindowNotifications.h"

#include <map>
#include <optional>
#include <vector>

namespace nivu::backend {

template <typename Facts> class WindowTable {
public:
    using Clock = WindowNotifications::Clock;

    struct Entry {
        ProcessId application = 0;
        // When it appeared; nothing for a window that was there before the backend started,
        // which is never a new window.
        std::optional<Clock::time_point> appearedAt;
        Facts facts;
    };

    // Adds the window, or replaces what was known of it.
    Entry& add(WindowKey key, Entry entry) { return entries_[key] = std::move(entry); }
    void erase(WindowKey key) { entries_.erase(key); }
    void clear() { entries_.clear(); }
    // Keeps only the windows that the predicate keeps.
    template <typename Keep> void retain(Keep keep) {
        std::erase_if(entries_, [&](const auto& item) { return !keep(item.first, item.second); });
    }

    bool contains(WindowKey key) const { return entries_.contains(key); }
    Entry* find(WindowKey key) {
        const auto found = entries_.find(key);
        return found == entries_.end() ? nullptr : &found->second;
    }
    const Entry* find(WindowKey key) const { return const_cast<WindowTable*>(this)->find(key); }

    // The application's windows that appeared at or after the time, oldest key first.
    std::vector<WindowKey> recent(ProcessId application, Clock::time_point since) const {
        std::vector<WindowKey> found;
        for (const auto& [key, entry] : entries_) {
            if (entry.application == application && entry.appearedAt &&
                *entry.appearedAt >= since) {
                found.push_back(key);
            }
        }
        return found;
    }

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::map<WindowKey, Entry> entries_;
};

} // namespace nivu::backend
