// The desktop as the core sees it: applications (by process), their windows and the window
// attributes the core reads and writes, and notifications about them.
#pragma once

#include "common/Geometry.h"
#include "common/Signal.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace nivu {

// A process id; backends may use negative ids for applications that name no process.
using ProcessId = std::int32_t;

// One window of another application. Backends derive from it; the core only passes it on.
class WindowElement {
public:
    WindowElement() = default;
    WindowElement(const WindowElement&) = delete;
    WindowElement& operator=(const WindowElement&) = delete;
    virtual ~WindowElement() = default;
};
using WindowRef = std::shared_ptr<const WindowElement>;

enum class WindowNotification { windowResized, windowCreated };

// What kind of window it is: the subroles "AXStandardWindow" (an ordinary top-level window),
// "AXDialog" and "AXUnknown" (anything else, such as a menu or a splash screen).
enum class WindowSubrole { standardWindow, dialog, unknown };

// The registration of window notifications for one application. Destroying it ends delivery.
class ApplicationObserver {
public:
    ApplicationObserver() = default;
    ApplicationObserver(const ApplicationObserver&) = delete;
    ApplicationObserver& operator=(const ApplicationObserver&) = delete;
    virtual ~ApplicationObserver() = default;

    // False when the application refuses the notification.
    virtual bool addNotification(WindowNotification notification) = 0;
    virtual void removeNotification(WindowNotification notification) = 0;
    // Notifications are delivered on the main loop only while attached.
    virtual void attachToMainLoop() = 0;
    virtual void detachFromMainLoop() = 0;
};

class Desktop {
public:
    using NotificationCallback = std::function<void(const WindowRef&, WindowNotification)>;

    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    virtual ~Desktop() = default;

    // Whether window access is possible now (on X11: an EWMH window manager runs). Only asks.
    virtual bool hasAccessibilityPermission() = 0;
    // Takes the step towards window access that Nivu can take itself, where there is one (on
    // Plasma: loading its KWin script); returns at once. A step that takes a while calls
    // stepTaken when it has ended, later on the main loop (never from within this call), so
    // that access is seen without waiting for the next poll. The default has no step (X11).
    virtual void obtainAccess(std::function<void()> /*stepTaken*/) {}
    // Calls onLost (on the main loop, at most once) when window access that is there now goes
    // away (on X11: the window manager quits or dies); at once when it is not there. Ends with
    // the subscription.
    [[nodiscard]] virtual Subscription observeAccessibilityLoss(std::function<void()> onLost) = 0;

    // The application in front; nothing when there is none.
    virtual std::optional<ProcessId> frontmostApplication() = 0;
    // Calls observer with each application that becomes frontmost, on the main loop.
    [[nodiscard]] virtual Subscription
    observeActivations(std::function<void(ProcessId)> observer) = 0;
    // The application's id (e.g. its WM_CLASS class); nothing when the process has no window
    // left or no id.
    virtual std::optional<std::string> bundleIdentifier(ProcessId process) = 0;
    // The id of the application the window belongs to: on X11 the window's own WM_CLASS class,
    // since one process may show windows of several (a browser's web apps). Nothing when the
    // window is gone or has no id.
    virtual std::optional<std::string> bundleIdentifier(const WindowElement& window) = 0;
    // The focused window of the application; nothing when it has none.
    virtual WindowRef focusedWindow(ProcessId process) = 0;

    // An observer for the application's window notifications; nullptr when refused.
    virtual std::unique_ptr<ApplicationObserver> createObserver(ProcessId process,
                                                                NotificationCallback callback) = 0;

    // Window attributes; nothing (or false) when the window is gone or the read fails.
    virtual std::optional<WindowSubrole> windowSubrole(const WindowElement& window) = 0;
    virtual bool isWindowSizeSettable(const WindowElement& window) = 0;
    virtual std::optional<Size> windowSize(const WindowElement& window) = 0;
    virtual std::optional<std::string> windowIdentifier(const WindowElement& window) = 0;
    // Asks the window to take the size, position unchanged; failures are not reported.
    virtual void setWindowSize(const WindowElement& window, Size size) = 0;
};

} // namespace nivu
