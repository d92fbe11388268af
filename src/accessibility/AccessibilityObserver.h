// Follows the frontmost application and reports its standard, resizable windows being created
// (0.2 s after the notification) and resized (at once, every event).
#pragma once

#include "accessibility/WindowAccess.h"
#include "common/WeakAnchor.h"
#include "platform/Desktop.h"
#include "platform/Scheduler.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace nivu {

class AccessibilityObserver {
public:
    struct CreatedWindowInfo {
        WindowRef element;
        std::optional<std::string> bundleIdentifier;
        std::optional<std::string> windowIdentifier;
    };
    struct ResizedWindowInfo {
        Size size;
        std::optional<std::string> bundleIdentifier;
        std::optional<std::string> windowIdentifier;
        friend bool operator==(const ResizedWindowInfo&, const ResizedWindowInfo&) = default;
    };

    static constexpr Duration createdWindowDelay{200};

    AccessibilityObserver(Desktop& desktop, Scheduler& scheduler);
    AccessibilityObserver(const AccessibilityObserver&) = delete;
    AccessibilityObserver& operator=(const AccessibilityObserver&) = delete;
    ~AccessibilityObserver();

    // Starts following the frontmost application; calling it again starts afresh.
    void start();
    // Ends following and releases every registration; safe when not started.
    void stop();

    std::function<void(const ResizedWindowInfo&)> onWindowResized;
    std::function<void(const CreatedWindowInfo&)> onWindowCreated;

    std::optional<ProcessId> observedPID() const { return observedPID_; }
    bool isStarted() const { return workspaceObservation_.has_value(); }

private:
    void observeApplication(ProcessId process);
    void stopObservingApplication();
    void handleNotification(const WindowRef& element, WindowNotification notification);
    void handleWindowResized(const WindowRef& element);
    void handleWindowCreated(const WindowRef& element);

    Desktop& desktop_;
    Scheduler& scheduler_;
    WindowAccess windows_;
    std::unique_ptr<ApplicationObserver> observer_;
    std::optional<ProcessId> observedPID_;
    std::optional<Subscription> workspaceObservation_;
    WeakAnchor<AccessibilityObserver> anchor_{this};
};

} // namespace nivu
