// A scheduler on virtual time: nothing runs until the test advances the clock.
#pragma once

#include "platform/Scheduler.h"

#include <map>
#include <memory>

namespace nivu::test {

class VirtualClock final : public Scheduler {
public:
    void runAfter(Duration delay, Task task) override {
        add(delay, Duration::zero(), std::move(task));
    }
    Subscription startTimer(Duration interval, bool repeats, Task task) override {
        const auto id = add(interval, repeats ? interval : Duration::zero(), std::move(task));
        return Subscription([this, id, alive = std::weak_ptr<bool>(alive_)] {
            if (alive.lock()) {
                entries_.erase(id);
            }
        });
    }
    Subscription watchReadable(int, Task) override { return Subscription(); }

    // Moves time forward, running every task that falls due, in time order.
    void advance(Duration by) {
        const auto end = now_ + by;
        while (true) {
            auto next = entries_.end();
            for (auto it = entries_.begin(); it != entries_.end(); ++it) {
                if (it->second.due <= end &&
                    (next == entries_.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == entries_.end()) {
                break;
            }
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

    Duration now_{0};
    std::uint64_t nextId_ = 0;
    std::map<std::uint64_t, Entry> entries_; // ordered by id, so equal due times run FIFO
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace nivu::test
