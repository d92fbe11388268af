// The scheduler on Qt's event loop: precise timers of one object, and QSocketNotifier watches.
#pragma once

#include "platform/Scheduler.h"

#include <QObject>
#include <memory>

namespace nivu {

class QtScheduler final : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    void runAfter(Duration delay, Task task) override;
    Subscription startTimer(Duration interval, bool repeats, Task task) override;
    Subscription watchReadable(int fd, Task onReadable) override;

private:
    class Timers;
    // Every timer runs on this one object: a resize restarts a timer per event, and a QTimer
    // each time would be an object made, connected and deleted later per event.
    std::unique_ptr<Timers> timers_;
    // Parent of every notifier, so that none outlives the scheduler.
    QObject context_;
};

} // namespace nivu
