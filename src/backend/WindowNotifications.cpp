// Window-notification registrations and their delivery.
#include "backend/WindowNotifications.h"

#include <set>
#include <utility>

namespace nivu::backend {

struct WindowNotifications::Registration {
    ProcessId application = 0;
    Desktop::NotificationCallback callback;
    bool resized = false;
    bool created = false;
    bool attached = false;
    // Windows already reported as created: the recent-window report must not repeat them.
    std::set<WindowKey> reportedCreated;

    bool wants(WindowNotification notification) const {
        return attached && (notification == WindowNotification::windowResized ? resized : created);
    }
};

class WindowNotifications::Observer final : public ApplicationObserver {
public:
    Observer(WindowNotifications& owner, std::shared_ptr<Registration> registration)
        : owner_(owner)
        , registration_(std::move(registration)) {}

    bool addNotification(WindowNotification notification) override {
        flag(notification) = true;
        return true;
    }
    void removeNotification(WindowNotification notification) override {
        flag(notification) = false;
    }
    void attachToMainLoop() override {
        registration_->attached = true;
        if (registration_->created) {
            owner_.deliverRecentWindows(registration_);
        }
    }
    void detachFromMainLoop() override { registration_->attached = false; }

private:
    bool& flag(WindowNotification notification) {
        return notification == WindowNotification::windowResized ? registration_->resized
                                                                 : registration_->created;
    }

    WindowNotifications& owner_;
    std::shared_ptr<Registration> registration_;
};

WindowNotifications::WindowNotifications(Scheduler& scheduler, MakeElement makeElement,
                                         RecentWindows recentWindows)
    : scheduler_(scheduler)
    , makeElement_(std::move(makeElement))
    , recentWindows_(std::move(recentWindows)) {}

WindowNotifications::~WindowNotifications() {
    *alive_ = false;
}

std::unique_ptr<ApplicationObserver>
WindowNotifications::createObserver(ProcessId process, Desktop::NotificationCallback callback) {
    auto registration = std::make_shared<Registration>();
    registration->application = process;
    registration->callback = std::move(callback);
    registrations_.push_back(registration);
    return std::make_unique<Observer>(*this, std::move(registration));
}

std::vector<std::shared_ptr<WindowNotifications::Registration>>
WindowNotifications::targets(ProcessId process, WindowNotification notification) {
    std::vector<std::shared_ptr<Registration>> found;
    std::erase_if(registrations_, [](const auto& weak) { return weak.expired(); });
    for (const auto& weak : registrations_) {
        const auto registration = weak.lock();
        if (registration->application == process && registration->wants(notification)) {
            found.push_back(registration);
        }
    }
    return found;
}

bool WindowNotifications::isWanted(ProcessId process, WindowNotification notification) {
    return !targets(process, notification).empty();
}

void WindowNotifications::deliver(WindowKey window, ProcessId process,
                                  WindowNotification notification) {
    const auto found = targets(process, notification);
    if (found.empty()) {
        return;
    }
    const WindowRef element = makeElement_(window);
    for (const auto& registration : found) {
        if (notification == WindowNotification::windowCreated &&
            !registration->reportedCreated.insert(window).second) {
            continue;
        }
        registration->callback(element, notification);
    }
}

void WindowNotifications::deliverRecentWindows(const std::shared_ptr<Registration>& registration) {
    const std::weak_ptr<Registration> weak = registration;
    scheduler_.runAfter(Duration::zero(), [this, weak, alive = std::weak_ptr<bool>(alive_)] {
        const auto live = alive.lock();
        const auto target = weak.lock();
        if (!live || !*live || !target || !target->wants(WindowNotification::windowCreated)) {
            return;
        }
        const auto recent = recentWindows_(target->application, Clock::now() - recentWindowAge);
        for (const auto window : recent) {
            if (target->wants(WindowNotification::windowCreated) &&
                target->reportedCreated.insert(window).second) {
                target->callback(makeElement_(window), WindowNotification::windowCreated);
            }
        }
    });
}

} // namespace nivu::backend
