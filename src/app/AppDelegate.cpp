// The application controller.
#include "app/AppDelegate.h"

namespace nivu {

AppDelegate::AppDelegate(AppEnvironment environment)
    : env_(std::move(environment))
    , windows_(env_.desktop)
    , accessibilityObserver_(env_.desktop, env_.scheduler)
    , mouseMonitor_(env_.pointer)
    , liveResize_(env_.scheduler, env_.pointer, mouseMonitor_, env_.shell, env_.sizeMemory)
    , permission_(env_.desktop, env_.scheduler,
                  [&shell = env_.shell] { shell.showAccessibilityPrompt(); }) {}

void AppDelegate::applicationDidFinishLaunching() {
    setupStatusItem();
    setupCallbacks();
    observeSettings();
    env_.sizeMemory(); // creates the store now: legacy take-over and first-run file at launch
    if (permission_.obtainAccess()) {
        accessArrived(); // the menu was made before the desktop's own step
    } else {
        permission_.waitForAccess(anchor_.weakly([](AppDelegate& self) { self.accessArrived(); }));
    }
}

void AppDelegate::accessArrived() {
    statusMenu_.setGrantEntryHidden(true);
    startObserving();
}

void AppDelegate::startObserving() {
    accessibilityObserver_.start();
    // On X11 access goes with the window manager, which users restart: then Nivu waits for
    // it again instead of watching a desktop that no longer reports anything.
    accessLoss_ = env_.desktop.observeAccessibilityLoss(
        anchor_.weakly([](AppDelegate& self) { self.accessLost(); }));
}

void AppDelegate::accessLost() {
    accessLoss_.reset();
    accessibilityObserver_.stop();
    statusMenu_.setGrantEntryHidden(false);
    permission_.waitForAccess(anchor_.weakly([](AppDelegate& self) { self.accessArrived(); }),
                              /*explain=*/false);
}

void AppDelegate::applicationWillTerminate() {
    accessLoss_.reset();
    accessibilityObserver_.stop();
    mouseMonitor_.stop();
    liveResize_.cancelIdleTimer();
    permission_.stopPolling();
    releasePresetHotKey();
}

void AppDelegate::releasePresetHotKey() {
    if (presetHotKey_) {
        presetHotKey_->unregister();
        presetHotKey_.reset();
    }
}

void AppDelegate::setupStatusItem() {
    statusMenu_.setupStatusItem(
        env_.shell,
        StatusMenu::Actions{
            anchor_.weakly([](AppDelegate& self) { self.requestAccessibilityPermission(); }),
            anchor_.weakly([](AppDelegate& self) { self.showSettings(); }),
            anchor_.weakly([](AppDelegate& self) { self.showAbout(); }),
            anchor_.weakly([](AppDelegate& self) { self.quit(); }),
        },
        [this] { return permission_.isTrusted(); });
}

void AppDelegate::observeSettings() {
    settingsCancellables_.push_back(env_.settings().subscribePresetMenuShortcut(
        anchor_.weakly([](AppDelegate& self, const std::optional<ShortcutSpec>& shortcut) {
            self.registerPresetHotKey(shortcut);
        })));
}

void AppDelegate::registerPresetHotKey(const std::optional<ShortcutSpec>& shortcut) {
    // Works from the delivered value only: the settings may not hold it yet.
    releasePresetHotKey();
    if (shortcut) {
        presetHotKey_ =
            GlobalHotKey::create(env_.hotKeys, shortcut->keyCode, shortcut->carbonModifiers,
                                 anchor_.weakly([](AppDelegate& self) { self.showPresetMenu(); }));
    }
}

void AppDelegate::showPresetMenu() {
    const WindowRef window = windows_.focusedWindowOfFrontmostApplication();
    if (!window) {
        return;
    }
    Menu menu =
        PresetMenu::entries(env_.shell, env_.settings().presets(), window,
                            anchor_.weakly([](AppDelegate& self, const PresetMenuPayload* payload) {
                                self.applyPreset(payload);
                            }));
    env_.shell.popUpMenu(std::move(menu), env_.pointer.pointerLocation());
}

void AppDelegate::applyPreset(const PresetMenuPayload* payload) {
    if (!payload || !payload->window) {
        return;
    }
    windows_.writeWindowSize(*payload->window, static_cast<double>(payload->preset.width),
                             static_cast<double>(payload->preset.height));
}

void AppDelegate::showSettings() {
    env_.shell.showSettingsWindow();
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

} // namespace nivu
