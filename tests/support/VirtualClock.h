// A scheduler on virtual time: nothing runs until the test advances the clock.
#pragma once

#include "platform/Scheduler.h"

#include <algorithm>
#include <map>
#include <memory>

namespace nivu::test {

class VirtualClock final : public Scheduler {
public:
    void runAfter(Duration delay, Task task) override { add(delay, Duration::zero(), task); }
    Subscription startTimer(Duration interval, bool repeats, Task task) override {
        const auto id = add(interval, repeats ? interval : Duration::zero(), std::move(task));
        return Subscription([this, id, alive = std::weak_ptr<bool>(alive_)] {
            if (alive.lock()) {
                entries_.erase(id);
            }
        });
    }
    Subscription watchReadable(int, Task) override { return Subscription(); }

    // Moves time forward, running every task that falls due in time order; equal times in the
    // order they were scheduled.
    void advance(Duration by);

private:
    struct Entry {
        Duration due;
        Duration interval;
        Task task;
    };

    std::uint64_t add(Duration delay, Duration interval, Task task) {
        entries_.emplace(nextId_, Entry{now_ + delay, interval, std::move(task)});
        return nextId_++;
    }
    auto earliest() {
        return std::ranges::min_element(entries_, {}, [](const auto& e) { return e.second.due; });
    }

    Duration now_{0};
    std::uint64_t nextId_ = 0;
    std::map<std::uint64_t, Entry> entries_; // by id: the first of equal due times is the oldest
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

inline void VirtualClock::advance(Duration by) {
    const auto end = now_ + by;
    for (auto next = earliest(); next != entries_.end() && next->second.due <= end;
         next = earliest()) {
        now_ = next->second.due;
        auto task = next->second.task;
        if (next->second.interval > Duration::zero()) {
            next->second.due += next->second.interval;
        } else {
            entries_.erase(next);
        }
        task();
    }
    now_ = end;
}

} // namespace nivu::test
