// The desktop of an EWMH window manager: the active window's application is frontmost, managed
// clients are windows, ConfigureNotify size changes are resizes, newly listed clients are
// created windows.
#pragma once

#include "platform/Desktop.h"
#include "platform/Scheduler.h"
#include "x11/X11Connection.h"

#include <chrono>
#include <list>
#include <map>
#include <memory>
#include <xcb/xcb_icccm.h>

namespace nivu::x11 {

class X11Desktop final : public Desktop {
public:
    // Windows that entered the client list this recently are reported as created when an
    // application's created notification is registered: a new program maps its first window
    // before it becomes active.
    static constexpr std::chrono::milliseconds recentWindowAge{1000};

    X11Desktop(X11Connection& connection, Scheduler& scheduler);
    ~X11Desktop() override;

    bool hasAccessibilityPermission() override;
    Subscription observeAccessibilityLoss(std::function<void()> onLost) override;
    std::optional<ProcessId> frontmostApplication() override;
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
    using Clock = std::chrono::steady_clock;
    class Window;
    class Observer;
    struct Registration;

    // Everything the core may ask about one window, read in one pipelined batch.
    struct Facts {
        bool exists = false;
        bool overrideRedirect = false;
        std::vector<std::uint32_t> windowTypes;
        bool transient = false;
        std::optional<xcb_size_hints_t> normalHints;
        std::optional<std::vector<std::uint32_t>> allowedActions;
        std::optional<Size> size;
        std::optional<std::string> role;
        std::optional<std::string> wmClass;
        std::optional<std::uint32_t> pid;
        std::optional<xcb_window_t> leader;
    };
    struct Client {
        ProcessId application = 0;
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        Clock::time_point listedAt;
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
    ProcessId applicationFrom(xcb_window_t window, const Facts& facts) const;
    const Facts& facts(xcb_window_t window);
    void fetchFacts(const std::vector<xcb_window_t>& windows);
    static xcb_window_t idOf(const WindowElement& window);
    void deliver(xcb_window_t window, WindowNotification notification);
    void deliverRecentWindows(const std::shared_ptr<Registration>& registration);
    void waited() { x_.repliesCollected(); }

    X11Connection& x_;
    Scheduler& scheduler_;
    std::map<xcb_window_t, Client> clients_;
    std::map<xcb_window_t, Facts> facts_; // valid until the main loop goes idle
    bool factsExpiryQueued_ = false;
    std::list<std::weak_ptr<Registration>> registrations_;
    // The window manager's check window, whose destruction means it is gone.
    xcb_window_t watchedCheckWindow_ = XCB_NONE;
    std::function<void()> onAccessLost_;
    Signal<ProcessId> activations_;
    std::vector<Subscription> eventSubscriptions_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace nivu::x11
