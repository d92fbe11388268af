// The desktop of an EWMH window manager: the active window's application is frontmost, managed
// clients are windows, ConfigureNotify size changes are resizes, newly listed clients are
// created windows.
#pragma once

#include "backend/AccessLoss.h"
#include "backend/WindowNotifications.h"
#include "backend/WindowTable.h"
#include "platform/Desktop.h"
#include "platform/Scheduler.h"
#include "x11/WindowFacts.h"
#include "x11/WindowResize.h"
#include "x11/X11Connection.h"

#include <chrono>
#include <map>
#include <memory>

namespace nivu::x11 {

class X11Desktop final : public Desktop {
public:
    X11Desktop(X11Connection& connection, Scheduler& scheduler);
    ~X11Desktop() override;

    bool hasAccessibilityPermission() override;
    Subscription observeAccessibilityLoss(std::function<void()> onLost) override;
    std::optional<ProcessId> frontmostApplication() override;
    Subscription observeActivations(std::function<void(ProcessId)> observer) override;
    std::optional<std::string> bundleIdentifier(ProcessId process) override;
    std::optional<std::string> bundleIdentifier(const WindowElement& window) override;
    WindowRef focusedWindow(ProcessId process) override;
    std::unique_ptr<ApplicationObserver> createObserver(ProcessId process,
                                                        NotificationCallback callback) override;
    std::optional<WindowSubrole> windowSubrole(const WindowElement& window) override;
    bool isWindowSizeSettable(const WindowElement& window) override;
    std::optional<Size> windowSize(const WindowElement& window) override;
    std::optional<std::string> windowIdentifier(const WindowElement& window) override;
    void setWindowSize(const WindowElement& window, Size size) override;

private:
    using Clock = backend::WindowNotifications::Clock;
    class Window;

    // What a listed client's ConfigureNotify is compared with: its window's size.
    struct ClientSize {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
    };

    void handlePropertyNotify(const xcb_generic_event_t& event);
    void handleConfigureNotify(const xcb_generic_event_t& event);
    void handleDestroyNotify(const xcb_generic_event_t& event);
    void reportAccessLoss();
    void refreshClientList(bool initial);
    void announceActiveApplication();
    std::optional<xcb_window_t> activeWindow();
    std::vector<std::uint32_t> rootList(Atom property);
    ProcessId applicationOf(xcb_window_t window);
    const WindowFacts& facts(xcb_window_t window);
    void fetchFacts(const std::vector<xcb_window_t>& windows);
    static xcb_window_t idOf(const WindowElement& window);
    void deliver(xcb_window_t window, WindowNotification notification);
    // Asks once more, as a configure request, where the window manager has not answered.
    void configureIfUnanswered(xcb_window_t window, const ResizePlan& plan);
    void waited() { x_.repliesCollected(); }

    X11Connection& x_;
    Scheduler& scheduler_;
    backend::WindowTable<ClientSize> clients_;  // the managed clients, by window id
    std::map<xcb_window_t, WindowFacts> facts_; // valid until the main loop goes idle
    bool factsExpiryQueued_ = false;
    // Size requests whose window has not changed its size since.
    std::map<xcb_window_t, ResizePlan> unanswered_;
    backend::WindowNotifications notifications_;
    // The window manager's check window, whose destruction means it is gone.
    xcb_window_t watchedCheckWindow_ = XCB_NONE;
    backend::AccessLoss accessLoss_;
    Signal<ProcessId> activations_;
    std::vector<Subscription> eventSubscriptions_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace nivu::x11
