// A scriptable in-memory desktop: applications, windows with every attribute the core reads,
// and notifications delivered by hand.
#pragma once

#include "platform/Desktop.h"

#include <map>
#include <string>
#include <vector>

namespace nivu::test {

class FakeWindow final : public WindowElement {
public:
    ProcessId process = 0;
    bool exists = true; // false: every read fails, every write is lost
    std::optional<std::string> subrole = "AXStandardWindow";
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
    std::shared_ptr<FakeWindow> addWindow(ProcessId process);
    // Makes the application frontmost and tells the activation observers.
    void activate(ProcessId process);
    // Delivers a notification as the application's observer would, when one is attached.
    void notify(const std::shared_ptr<FakeWindow>& window, WindowNotification notification);
    // The window manager goes away.
    void loseAccess();

    bool permission = true;
    int permissionChecks = 0;
    int observersCreated = 0;
    std::optional<ProcessId> frontmost;
    std::map<ProcessId, std::shared_ptr<FakeWindow>> focused;
    Signal<ProcessId> activations;
    bool watchesLoss() const { return static_cast<bool>(onAccessLost_); }

    bool hasAccessibilityPermission() override;
    Subscription observeAccessibilityLoss(std::function<void()> onLost) override;
    std::optional<ProcessId> frontmostApplication() override { return frontmost; }
    Subscription observeActivations(std::function<void(ProcessId)> observer) override {
        return activations.connect(std::move(observer));
    }
    std::optional<std::string> bundleIdentifier(ProcessId process) override;
    std::optional<std::string> bundleIdentifier(const WindowElement& window) override;
    WindowRef focusedWindow(ProcessId process) override;
    std::unique_ptr<ApplicationObserver> createObserver(ProcessId process,
                                                        NotificationCallback callback) override;
    std::optional<std::string> windowSubrole(const WindowElement& window) override;
    bool isWindowSizeSettable(const WindowElement& window) override;
    std::optional<Size> windowSize(const WindowElement& window) override;
    std::optional<std::string> windowIdentifier(const WindowElement& window) override;
    void setWindowSize(const WindowElement& window, Size size) override;

private:
    class Observer;
    struct Registration {
        ProcessId process = 0;
        NotificationCallback callback;
        std::vector<WindowNotification> notifications;
        bool attached = false;
    };

    FakeWindow* live(const WindowElement& window);

    std::map<ProcessId, std::optional<std::string>> bundles_;
    std::vector<std::shared_ptr<Registration>> registrations_;
    std::function<void()> onAccessLost_;
};

} // namespace nivu::test
