// Per-application registrations for window notifications, shared by the desktop backends: who
// wants which notification, delivery, and the report of windows that appeared just before.
#pragma once

#include "platform/Desktop.h"
#include "platform/Scheduler.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <vector>

namespace nivu::backend {

// A backend's own name for a window (an X window id, a serial number).
using WindowKey = std::uint64_t;

class WindowNotifications {
public:
    using Clock = std::chrono::steady_clock;
    // Windows that appeared this recently are reported as created when an application's created
    // notification is attached: a new program shows its first window before it becomes active.
    static constexpr std::chrono::milliseconds recentWindowAge{1000};
    using MakeElement = std::function<WindowRef(WindowKey)>;
    // The application's windows that appeared at or after the time.
    using RecentWindows = std::function<std::vector<WindowKey>(ProcessId, Clock::time_point)>;

    WindowNotifications(Scheduler& scheduler, MakeElement makeElement, RecentWindows recentWindows);
    WindowNotifications(const WindowNotifications&) = delete;
    WindowNotifications& operator=(const WindowNotifications&) = delete;
    ~WindowNotifications();

    std::unique_ptr<ApplicationObserver> createObserver(ProcessId process,
                                                        Desktop::NotificationCallback callback);
    // Whether an attached registration of the application wants the notification.
    bool isWanted(ProcessId process, WindowNotification notification);
    // Calls every attached registration of the application that wants the notification; a
    // window is reported as created once per registration.
    void deliver(WindowKey window, ProcessId process, WindowNotification notification);

private:
    class Observer;
    struct Registration;

    std::vector<std::shared_ptr<Registration>> targets(ProcessId process,
                                                       WindowNotification notification);
    void deliverRecentWindows(const std::shared_ptr<Registration>& registration);

    Scheduler& scheduler_;
    MakeElement makeElement_;
    RecentWindows recentWindows_;
    std::list<std::weak_ptr<Registration>> registrations_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace nivu::backend
