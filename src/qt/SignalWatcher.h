// Turns SIGINT, SIGTERM and SIGHUP into a call on the main loop (a self-pipe read by a notifier).
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace nivu {

class SignalWatcher {
public:
    explicit SignalWatcher(std::function<void(int signal)> onSignal);
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;
    ~SignalWatcher();

private:
    std::function<void(int)> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace nivu
