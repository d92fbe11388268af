// The application controller.
#include "app/AppDelegate.h"

namespace nivu {

AppDelegate::AppDelegate(AppEnvironment environment)
    : env_(std::move(environment))
    , windows_(env_.desktop)
    , accessibilityObserver_(env_.desktop, env_.scheduler)
    , mouseMonitor_(env_.pointer)
    , liveResize_(env_.scheduler, env_.pointer, mouseMonitor_, env_.shell, env_.sizeMemory) {}

void AppDelegate::applicationDidFinishLaunching() {
    setupCallbacks();
    env_.sizeMemory(); // creates the store now: legacy take-over and first-run file at launch
    if (env_.desktop.hasAccessibilityPermission()) {
        accessibilityObserver_.start();
    } else {
        startPermissionPolling();
    }
}

void AppDelegate::applicationWillTerminate() {
    accessibilityObserver_.stop();
    mouseMonitor_.stop();
    liveResize_.cancelIdleTimer();
    permissionCheckTimer_.reset();
}

void AppDelegate::setupCallbacks() {
    accessibilityObserver_.onWindowResized = anchor_.weakly(
        [](AppDelegate& self, const ResizedWindowInfo& info) { self.handleResize(info); });
    accessibilityObserver_.onWindowCreated = anchor_.weakly(
        [](AppDelegate& self, const CreatedWindowInfo& info) { self.restoreRememberedSize(info); });
    mouseMonitor_.onMouseDragged =
        anchor_.weakly([](AppDelegate& self, Point point) { self.followPointer(point); });
    mouseMonitor_.onMouseUp = anchor_.weakly([](AppDelegate& self) { self.endResize(); });
}

void AppDelegate::restoreRememberedSize(const CreatedWindowInfo& info) {
    if (!info.bundleIdentifier) {
        return;
    }
    const auto size =
        env_.sizeMemory().rememberedSize(*info.bundleIdentifier, info.windowIdentifier);
    if (!size) {
        return;
    }
    // The task keeps the window and the size, not the controller; it is never cancelled.
    env_.scheduler.runAfter(restoreDelay,
                            [windows = windows_, element = info.element, size = *size] {
                                windows.writeWindowSize(*element, size.width, size.height);
                            });
}

void AppDelegate::startPermissionPolling() {
    if (permissionCheckTimer_) {
        return;
    }
    permissionCheckTimer_ = env_.scheduler.startTimer(
        permissionPollInterval, /*repeats=*/true,
        anchor_.weakly([](AppDelegate& self) { self.checkPermission(); }));
}

void AppDelegate::checkPermission() {
    if (!env_.desktop.hasAccessibilityPermission()) {
        return;
    }
    permissionCheckTimer_.reset();
    accessibilityObserver_.start();
}

} // namespace nivu
