// A scriptable in-memory desktop: applications, windows with every attribute the core reads,
// and notifications delivered by hand.
#pragma once

#include "platform/Desktop.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace nivu::test {

class FakeWindow final : public WindowElement {
public:
    ProcessId process = 0;
    bool exists = true; // false: every read fails, every write is lost
    std::optional<WindowSubrole> subrole = WindowSubrole::standardWindow;
    bool sizeSettable = true;
    std::optional<Size> size = Size{640, 480};
    std::optional<std::string> identifier;
    std::optional<std::string> bundle; // the window's own id; else its application's
    std::vector<Size> writtenSizes;
};

class FakeDesktop final : public Desktop {
public:
    void addApplication(ProcessId process, std::optional<std::string> bundle) {
        bundles_[process] = std::move(bundle);
    }
    std::shared_ptr<FakeWindow> addWindow(ProcessId process) {
        auto window = std::make_shared<FakeWindow>();
        window->process = process;
        return window;
    }
    // Makes the application frontmost and tells the activation observers.
    void activate(ProcessId process) {
        frontmost = process;
        activations.emit(process);
    }
    // Delivers a notification as the application's observer would, when one is attached.
    void notify(const std::shared_ptr<FakeWindow>& window, WindowNotification notification) {
        for (const auto& observer : std::vector(observers_)) { // a callback may end one
            if (std::ranges::count(observers_, observer) > 0 &&
                observer->process == window->process && observer->attached &&
                std::ranges::count(observer->notifications, notification) > 0) {
                observer->callback(window, notification);
            }
        }
    }
    // The window manager goes away.
    void loseAccess() {
        permission = false;
        if (auto onLost = std::exchange(onAccessLost_, {})) {
            onLost();
        }
    }

    bool permission = true;
    int permissionChecks = 0;
    int accessSteps = 0;
    bool accessOnStep = false; // access comes with Nivu's own step (as on Plasma)
    int observersCreated = 0;
    std::optional<ProcessId> frontmost;
    std::map<ProcessId, std::shared_ptr<FakeWindow>> focused;
    Signal<ProcessId> activations;
    bool watchesLoss() const { return static_cast<bool>(onAccessLost_); }

    bool hasAccessibilityPermission() override { return ++permissionChecks, permission; }
    void obtainAccess(std::function<void()> stepTaken) override {
        ++accessSteps;
        permission = permission || accessOnStep;
        stepTaken_ = std::move(stepTaken);
    }
    // The step that was asked for last ends now, with access or without.
    void endStep(bool granted) {
        permission = permission || granted;
        if (auto step = std::exchange(stepTaken_, nullptr)) {
            step();
        }
    }
    Subscription observeAccessibilityLoss(std::function<void()> onLost) override {
        onAccessLost_ = std::move(onLost);
        return Subscription([this] { onAccessLost_ = nullptr; });
    }
    std::optional<ProcessId> frontmostApplication() override { return frontmost; }
    Subscription observeActivations(std::function<void(ProcessId)> observer) override {
        return activations.connect(std::move(observer));
    }
    std::optional<std::string> bundleIdentifier(ProcessId process) override {
        return bundles_.contains(process) ? bundles_[process] : std::nullopt;
    }
    std::optional<std::string> bundleIdentifier(const WindowElement& window) override {
        const auto* fake = live(window);
        return !fake ? std::nullopt : fake->bundle ? fake->bundle : bundleIdentifier(fake->process);
    }
    WindowRef focusedWindow(ProcessId process) override {
        return focused.contains(process) ? focused[process] : nullptr;
    }
    std::unique_ptr<ApplicationObserver> createObserver(ProcessId process,
                                                        NotificationCallback callback) override {
        ++observersCreated;
        return std::make_unique<Observer>(*this, process, std::move(callback));
    }
    std::optional<WindowSubrole> windowSubrole(const WindowElement& w) override {
        return live(w) ? live(w)->subrole : std::nullopt;
    }
    bool isWindowSizeSettable(const WindowElement& w) override {
        return live(w) && live(w)->sizeSettable;
    }
    std::optional<Size> windowSize(const WindowElement& w) override {
        return live(w) ? live(w)->size : std::nullopt;
    }
    std::optional<std::string> windowIdentifier(const WindowElement& w) override {
        return live(w) ? live(w)->identifier : std::nullopt;
    }
    void setWindowSize(const WindowElement& window, Size size) override {
        if (auto* fake = live(window)) {
            fake->writtenSizes.push_back(size);
            fake->size = size;
        }
    }

private:
    struct Observer final : ApplicationObserver {
        Observer(FakeDesktop& desktop, ProcessId process, NotificationCallback callback)
            : desktop(desktop)
            , process(process)
            , callback(std::move(callback)) {
            desktop.observers_.push_back(this);
        }
        ~Observer() override { std::erase(desktop.observers_, this); }
        bool addNotification(WindowNotification notification) override {
            notifications.push_back(notification);
            return true;
        }
        void removeNotification(WindowNotification notification) override {
            std::erase(notifications, notification);
        }
        void attachToMainLoop() override { attached = true; }
        void detachFromMainLoop() override { attached = false; }

        FakeDesktop& desktop;
        ProcessId process;
        NotificationCallback callback;
        std::vector<WindowNotification> notifications;
        bool attached = false;
    };

    static FakeWindow* live(const WindowElement& window) {
        auto* fake = const_cast<FakeWindow*>(dynamic_cast<const FakeWindow*>(&window));
        return fake && fake->exists ? fake : nullptr;
    }

    std::map<ProcessId, std::optional<std::string>> bundles_;
    std::vector<Observer*> observers_;
    std::function<void()> onAccessLost_;
    std::function<void()> stepTaken_;
};

} // namespace nivu::test
