// The application controller: owns the long-lived parts, starts and stops them in order, and
// handles window events (restoring sizes, live resizes).
#pragma once

#include "accessibility/AccessibilityObserver.h"
#include "app/LiveResize.h"
#include "app/PermissionFlow.h"
#include "app/PresetMenu.h"
#include "app/StatusMenu.h"
#include "common/WeakAnchor.h"
#include "input/GlobalHotKey.h"
#include "input/GlobalMouseMonitor.h"
#include "memory/SizeMemory.h"
#include "platform/Desktop.h"
#include "platform/PointerEvents.h"
#include "platform/Scheduler.h"
#include "platform/Shell.h"
#include "settings/AppSettings.h"

#include <functional>
#include <optional>

namespace nivu {

// What the controller is built from; everything outlives it.
struct AppEnvironment {
    Desktop& desktop;
    Scheduler& scheduler;
    PointerEvents& pointer;
    Shell& shell;
    HotKeyRegistry& hotKeys;
    // The remembered-size store; its first use creates it (legacy take-over, first-run file).
    std::function<SizeMemory&()> sizeMemory;
    // The settings store; its first use loads the settings.
    std::function<AppSettings&()> settings;
};

class AppDelegate {
public:
    using CreatedWindowInfo = AccessibilityObserver::CreatedWindowInfo;
    using ResizedWindowInfo = AccessibilityObserver::ResizedWindowInfo;

    static constexpr Duration restoreDelay{50};

    explicit AppDelegate(AppEnvironment environment);
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();

    // Window events.
    void restoreRememberedSize(const CreatedWindowInfo& info);
    void handleResize(const ResizedWindowInfo& info) { liveResize_.handleResize(info); }
    void followPointer(Point point) { liveResize_.followPointer(point); }
    void endResize() { liveResize_.endResize(); }
    void restartResizeIdleTimer() { liveResize_.restartResizeIdleTimer(); }

    // Start-up steps and the permission flow.
    void setupStatusItem();
    void setupCallbacks();
    void observeSettings();
    void registerPresetHotKey(const std::optional<ShortcutSpec>& shortcut);
    void startPermissionPolling() { permission_.startPermissionPolling(); }
    // Window access arrived (or was there at launch) / went away (the window manager quit).
    void startObserving();
    void accessArrived();
    void accessLost();
    void checkPermission() { permission_.checkPermission(); }

    // The preset menu on its hot key.
    void showPresetMenu();
    void applyPreset(const PresetMenuPayload* payload);

    // Menu actions.
    void requestAccessibilityPermission() { permission_.requestAccessibilityPermission(); }
    void showSettings();
    void showAbout() { env_.shell.showAboutPanel(); }
    void quit() { env_.shell.terminate(); }

    const AccessibilityObserver& accessibilityObserver() const { return accessibilityObserver_; }
    const LiveResize& liveResize() const { return liveResize_; }
    bool isPollingPermission() const { return permission_.isPolling(); }
    const GlobalHotKey* presetHotKey() const { return presetHotKey_.get(); }

private:
    void releasePresetHotKey();

    AppEnvironment env_;
    WindowAccess windows_;
    AccessibilityObserver accessibilityObserver_;
    GlobalMouseMonitor mouseMonitor_;
    LiveResize liveResize_;
    PermissionFlow permission_;
    StatusMenu statusMenu_;
    std::optional<Subscription> accessLoss_;
    std::unique_ptr<GlobalHotKey> presetHotKey_;
    std::vector<Subscription> settingsCancellables_;
    WeakAnchor<AppDelegate> anchor_{this};
};

} // namespace nivu
