// The desktop as KWin's script reports it: the active window's application is frontmost,
// reported windows are created, and their size reports are resizes. Sizes are set through the
// script. Window access means that KWin runs and has our script loaded.
#pragma once

#include "backend/AccessLoss.h"
#include "backend/WindowNotifications.h"
#include "backend/WindowTable.h"
#include "kwin/ScriptBridge.h"
#include "kwin/ScriptLoader.h"
#include "kwin/ScriptReport.h"
#include "platform/Desktop.h"
#include "platform/Scheduler.h"

#include <QDBusServiceWatcher>
#include <QTimer>
#include <map>
#include <string>

namespace nivu::kwin {

class KWinDesktop final : public Desktop {
public:
    KWinDesktop(Scheduler& scheduler, ScriptBridge& bridge, ScriptLoader& loader);
    ~KWinDesktop() override;

    bool hasAccessibilityPermission() override;
    void obtainAccess() override;
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
    struct Known {
        std::string kwinId;
        ScriptReport report; // the window's report, with its size kept current
    };

    void handleReport(const ScriptReport& report);
    // KWin went away or dropped the script: what it reported is void, and access is lost
    // until the script runs again.
    void handleScriptGone();
    const Known* known(const WindowElement& window) const;
    std::optional<backend::WindowKey> keyOf(const std::string& kwinId) const;

    ScriptBridge& bridge_;
    ScriptLoader& loader_;
    QDBusServiceWatcher kwinWatcher_;
    QTimer scriptCheck_;
    Subscription reports_;
    backend::WindowTable<Known> windows_;
    std::map<std::string, backend::WindowKey> keys_; // by KWin id
    backend::WindowKey nextKey_ = 1;
    std::optional<backend::WindowKey> active_;
    backend::WindowNotifications notifications_;
    Signal<ProcessId> activations_;
    backend::AccessLoss accessLoss_;
};

} // namespace nivu::kwin
