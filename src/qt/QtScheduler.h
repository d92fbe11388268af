// The scheduler on Qt's event loop: precise QTimers and QSocketNotifier watches.
#pragma once

#include "platform/Scheduler.h"

#include <QObject>

namespace nivu {

class QtScheduler final : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    void runAfter(Duration delay, Task task) override;
    Subscription startTimer(Duration interval, bool repeats, Task task) override;
    Subscription watchReadable(int fd, Task onReadable) override;

private:
    // Parent of every timer and notifier, so that none outlives the scheduler.
    QObject context_;
};

} // namespace nivu
