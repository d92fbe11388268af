// Following the frontmost application's window notifications.
#include "accessibility/AccessibilityObserver.h"

namespace nivu {

AccessibilityObserver::AccessibilityObserver(Desktop& desktop, Scheduler& scheduler)
    : desktop_(desktop)
    , scheduler_(scheduler)
    , windows_(desktop) {}

AccessibilityObserver::~AccessibilityObserver() {
    stop();
}

void AccessibilityObserver::start() {
    stop();
    workspaceObservation_ = desktop_.observeActivations(anchor_.weakly(
        [](AccessibilityObserver& self, ProcessId process) { self.observeApplication(process); }));
    if (const auto frontmost = desktop_.frontmostApplication()) {
        observeApplication(*frontmost);
    }
}

void AccessibilityObserver::stop() {
    workspaceObservation_.reset();
    stopObservingApplication();
}

void AccessibilityObserver::observeApplication(ProcessId process) {
    if (observedPID_ == process) {
        return;
    }
    stopObservingApplication();
    auto observer = desktop_.createObserver(
        process, anchor_.weakly([](AccessibilityObserver& self, const WindowRef& element,
                                   WindowNotification notification) {
            self.handleNotification(element, notification);
        }));
    if (!observer || !observer->addNotification(WindowNotification::windowResized)) {
        return; // not observed; the next activation, even of the same application, retries
    }
    // A refused created-window notification still leaves resizes observed.
    observer->addNotification(WindowNotification::windowCreated);
    observer->attachToMainLoop();
    observer_ = std::move(observer);
    observedPID_ = process;
}

void AccessibilityObserver::stopObservingApplication() {
    if (observer_) {
        observer_->removeNotification(WindowNotification::windowResized);
        observer_->removeNotification(WindowNotification::windowCreated);
        observer_->detachFromMainLoop();
    }
    observer_.reset();
    observedPID_.reset();
}

void AccessibilityObserver::handleNotification(const WindowRef& element,
                                               WindowNotification notification) {
    if (!element) {
        return;
    }
    switch (notification) {
    case WindowNotification::windowResized:
        handleWindowResized(element);
        break;
    case WindowNotification::windowCreated:
        handleWindowCreated(element);
        break;
    }
}

void AccessibilityObserver::handleWindowResized(const WindowRef& element) {
    if (!windows_.isStandardWindow(*element) || !windows_.isSizeSettable(*element)) {
        return;
    }
    const auto size = windows_.readWindowSize(*element);
    if (!size || !onWindowResized) {
        return;
    }
    onWindowResized(ResizedWindowInfo{*size, windows_.bundleIdentifierOf(*element),
                                      windows_.readWindowIdentifier(*element)});
}

void AccessibilityObserver::handleWindowCreated(const WindowRef& element) {
    // The window is examined after the delay, when its type, size hints and id have settled:
    // a program may name its window's class only after mapping it, and a restore looks its
    // size up under the id that the window's resizes are recorded under.
    scheduler_.runAfter(createdWindowDelay, [weak = anchor_.weak(), element, windows = windows_] {
        if (!windows.isStandardWindow(*element) || !windows.isSizeSettable(*element)) {
            return;
        }
        const auto self = weak.lock();
        if (!self || !(*self)->onWindowCreated) {
            return;
        }
        (*self)->onWindowCreated(CreatedWindowInfo{element, windows.bundleIdentifierOf(*element),
                                                   windows.readWindowIdentifier(*element)});
    });
}

} // namespace nivu
