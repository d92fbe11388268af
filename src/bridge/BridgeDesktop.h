// The desktop as the compositor side reports it: the active window's application is frontmost,
// reported windows are created, and their size reports are resizes. Sizes are set through the
// compositor side. Window access means that the compositor runs Nivu's side.
#pragma once

#include "backend/AccessLoss.h"
#include "backend/WindowNotifications.h"
#include "backend/WindowTable.h"
#include "bridge/CompositorLink.h"
#include "bridge/Reports.h"
#include "bridge/ScriptBridge.h"
#include "platform/Desktop.h"
#include "platform/Scheduler.h"

#include <QDBusServiceWatcher>
#include <QTimer>
#include <map>
#include <string>

namespace nivu::bridge {

class BridgeDesktop final : public Desktop {
public:
    BridgeDesktop(Scheduler& scheduler, ScriptBridge& bridge, CompositorLink& link);
    ~BridgeDesktop() override;

    bool hasAccessibilityPermission() override;
    void obtainAccess(std::function<void()> stepTaken) override;
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
    using Known = WindowReport; // with its size kept current

    void handleReport(const Report& report);
    void handleWindow(const WindowReport& report);
    void handleSize(const SizeReport& report);
    void handleClosed(const ClosedReport& report);
    void handleActive(const ActiveReport& report);
    // The compositor went away or dropped Nivu's side: what it reported is void, and access is
    // lost until Nivu's side runs again.
    void handleScriptGone();
    const Known* known(const WindowElement& window) const;
    std::optional<backend::WindowKey> keyOf(const std::string& compositorId) const;

    ScriptBridge& bridge_;
    CompositorLink& link_;
    QDBusServiceWatcher compositorWatcher_;
    QTimer runningCheck_;
    Subscription reports_;
    backend::WindowTable<Known> windows_;
    std::map<std::string, backend::WindowKey> keys_; // by the compositor's id
    backend::WindowKey nextKey_ = 1;
    std::optional<backend::WindowKey> active_;
    backend::WindowNotifications notifications_;
    Signal<ProcessId> activations_;
    backend::AccessLoss accessLoss_;
};

} // namespace nivu::bridge
