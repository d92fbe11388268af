// A scriptable in-memory desktop: applications, windows with every attribute the core reads,
// refusals, and a journal of every platform call for order checks.
#pragma once

#include "platform/Desktop.h"

#include <map>
#include <string>
#include <utility>
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
    std::vector<Size> writtenSizes;
};

struct FakeApplication {
    std::optional<std::string> bundleIdentifier;
    bool refusesObserver = false;
    bool refusesResized = false;
    bool refusesCreated = false;
    std::shared_ptr<FakeWindow> focusedWindow;
};

class FakeDesktop final : public Desktop {
public:
    FakeDesktop() = default;
    // Notes every call in a journal shared with other fakes.
    explicit FakeDesktop(std::vector<std::string>& sharedJournal)
        : journal(sharedJournal) {}

    FakeApplication& addApplication(ProcessId process, std::optional<std::string> bundle);
    std::shared_ptr<FakeWindow> addWindow(ProcessId process);

    // Makes the application frontmost and tells the activation observers.
    void activate(ProcessId process);
    // Delivers a notification as the application's observer would (if registered and attached).
    void notify(const std::shared_ptr<FakeWindow>& window, WindowNotification notification);

    bool permission = true;
    std::optional<ProcessId> frontmost;

private:
    std::vector<std::string> ownJournal_;

public:
    std::vector<std::string>& journal = ownJournal_;
    std::size_t activationObserverCount() const;

    Subscription observeAccessibilityLoss(std::function<void()> onLost) override {
        journal.push_back("watch access loss");
        onAccessLost_ = std::move(onLost);
        return Subscription([this] { onAccessLost_ = nullptr; });
    }
    // The window manager goes away.
    void loseAccess() {
        permission = false;
        if (auto onLost = std::exchange(onAccessLost_, {})) {
            onLost();
        }
    }
    bool hasAccessibilityPermission() override {
        journal.push_back("permission?");
        return permission;
    }
    std::optional<ProcessId> frontmostApplication() override { return frontmost; }
    Subscription observeActivations(std::function<void(ProcessId)> observer) override;
    std::optional<std::string> bundleIdentifier(ProcessId process) override;
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
        NotificationCallback callback;
        bool resized = false;
        bool created = false;
        bool attached = false;
    };

    const FakeWindow* live(const WindowElement& window);

    std::map<ProcessId, FakeApplication> applications_;
    Signal<ProcessId> activations_;
    std::map<ProcessId, std::shared_ptr<Registration>> registrations_;
    std::function<void()> onAccessLost_;
};

} // namespace nivu::test
