// A scheduler for benchmarks that drive the main loop themselves: tasks run when asked, the
// watched descriptor is polled directly.
#pragma once

#include "platform/Scheduler.h"

#include <deque>
#include <poll.h>

namespace nivu::bench {

class ManualScheduler final : public Scheduler {
public:
    void runAfter(Duration, Task task) override { tasks_.push_back(std::move(task)); }
    Subscription startTimer(Duration, bool, Task) override { return Subscription(); }
    Subscription watchReadable(int fd, Task onReadable) override {
        fd_ = fd;
        onReadable_ = std::move(onReadable);
        return Subscription([this] { onReadable_ = nullptr; });
    }

    // Runs queued tasks, then waits up to timeoutMs for the descriptor and handles it.
    void turn(int timeoutMs) {
        runQueued();
        pollfd watched{fd_, POLLIN, 0};
        if (onReadable_ && ::poll(&watched, 1, timeoutMs) > 0) {
            onReadable_();
        }
        runQueued();
    }

private:
    void runQueued() {
        while (!tasks_.empty()) {
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            task();
        }
    }

    std::deque<Task> tasks_;
    int fd_ = -1;
    Task onReadable_;
};

} // namespace nivu::bench
