// A scriptable in-memory desktop.
#include "FakeDesktop.h"

#include <algorithm>

namespace nivu::test {

class FakeDesktop::Observer final : public ApplicationObserver {
public:
    Observer(FakeDesktop& desktop, std::shared_ptr<Registration> registration)
        : desktop_(desktop)
        , registration_(std::move(registration)) {}
    ~Observer() override { std::erase(desktop_.registrations_, registration_); }
    bool addNotification(WindowNotification notification) override {
        registration_->notifications.push_back(notification);
        return true;
    }
    void removeNotification(WindowNotification notification) override {
        std::erase(registration_->notifications, notification);
    }
    void attachToMainLoop() override { registration_->attached = true; }
    void detachFromMainLoop() override { registration_->attached = false; }

private:
    FakeDesktop& desktop_;
    std::shared_ptr<Registration> registration_;
};

std::shared_ptr<FakeWindow> FakeDesktop::addWindow(ProcessId process) {
    auto window = std::make_shared<FakeWindow>();
    window->process = process;
    return window;
}

void FakeDesktop::activate(ProcessId process) {
    frontmost = process;
    activations.emit(process);
}

void FakeDesktop::notify(const std::shared_ptr<FakeWindow>& window,
                         WindowNotification notification) {
    const auto registrations = registrations_; // a callback may end its registration
    for (const auto& registration : registrations) {
        if (registration->process == window->process && registration->attached &&
            std::ranges::count(registration->notifications, notification) > 0) {
            registration->callback(window, notification);
        }
    }
}

void FakeDesktop::loseAccess() {
    permission = false;
    if (auto onLost = std::exchange(onAccessLost_, {})) {
        onLost();
    }
}

bool FakeDesktop::hasAccessibilityPermission() {
    ++permissionChecks;
    return permission;
}

Subscription FakeDesktop::observeAccessibilityLoss(std::function<void()> onLost) {
    onAccessLost_ = std::move(onLost);
    return Subscription([this] { onAccessLost_ = nullptr; });
}

std::optional<std::string> FakeDesktop::bundleIdentifier(ProcessId process) {
    const auto found = bundles_.find(process);
    return found == bundles_.end() ? std::nullopt : found->second;
}

std::optional<std::string> FakeDesktop::bundleIdentifier(const WindowElement& window) {
    const auto* fake = live(window);
    return !fake ? std::nullopt : fake->bundle ? fake->bundle : bundleIdentifier(fake->process);
}

WindowRef FakeDesktop::focusedWindow(ProcessId process) {
    const auto found = focused.find(process);
    return found == focused.end() ? nullptr : found->second;
}

std::unique_ptr<ApplicationObserver> FakeDesktop::createObserver(ProcessId process,
                                                                 NotificationCallback callback) {
    ++observersCreated;
    auto registration = std::make_shared<Registration>();
    registration->process = process;
    registration->callback = std::move(callback);
    registrations_.push_back(registration);
    return std::make_unique<Observer>(*this, registration);
}

FakeWindow* FakeDesktop::live(const WindowElement& window) {
    auto* fake = const_cast<FakeWindow*>(dynamic_cast<const FakeWindow*>(&window));
    return fake && fake->exists ? fake : nullptr;
}

std::optional<std::string> FakeDesktop::windowSubrole(const WindowElement& window) {
    const auto* fake = live(window);
    return fake ? fake->subrole : std::nullopt;
}

bool FakeDesktop::isWindowSizeSettable(const WindowElement& window) {
    const auto* fake = live(window);
    return fake && fake->sizeSettable;
}

std::optional<Size> FakeDesktop::windowSize(const WindowElement& window) {
    const auto* fake = live(window);
    return fake ? fake->size : std::nullopt;
}

std::optional<std::string> FakeDesktop::windowIdentifier(const WindowElement& window) {
    const auto* fake = live(window);
    return fake ? fake->identifier : std::nullopt;
}

void FakeDesktop::setWindowSize(const WindowElement& window, Size size) {
    if (auto* fake = live(window)) {
        fake->writtenSizes.push_back(size);
        fake->size = size;
    }
}

} // namespace nivu::test
