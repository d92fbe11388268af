// The main loop's timers, delayed tasks and file-descriptor watches.
#pragma once

#include "common/Signal.h"

#include <chrono>
#include <functional>

namespace nivu {

using Duration = std::chrono::milliseconds;

class Scheduler {
public:
    using Task = std::function<void()>;

    Scheduler() = default;
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;
    virtual ~Scheduler() = default;

    // Runs task once on the main loop after delay (zero: as soon as the loop is idle). Cannot
    // be cancelled; a task that must not outlive its owner holds the owner weakly.
    virtual void runAfter(Duration delay, Task task) = 0;
    // A one-shot or repeating timer on the main loop; it stops when the subscription is
    // cancelled or destroyed. Never fails.
    [[nodiscard]] virtual Subscription startTimer(Duration interval, bool repeats, Task task) = 0;
    // Calls onReadable on the main loop whenever fd has data to read, until cancelled.
    [[nodiscard]] virtual Subscription watchReadable(int fd, Task onReadable) = 0;
};

} // namespace nivu
