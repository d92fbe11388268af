// Window access on start.
#include "app/PermissionFlow.h"

namespace nivu {

void PermissionFlow::waitForAccess(std::function<void()> onGranted, bool explain) {
    onGranted_ = std::move(onGranted);
    if (explain) {
        explain_();
    }
    startPermissionPolling();
}

void PermissionFlow::startPermissionPolling() {
    if (permissionCheckTimer_) {
        return;
    }
    permissionCheckTimer_ =
        scheduler_.startTimer(pollInterval, /*repeats=*/true,
                              anchor_.weakly([](PermissionFlow& self) { self.checkPermission(); }));
}

void PermissionFlow::checkPermission() {
    if (obtainAccess()) {
        granted();
    }
}

void PermissionFlow::stepTaken() {
    if (permissionCheckTimer_ && isTrusted()) {
        granted();
    }
}

void PermissionFlow::granted() {
    permissionCheckTimer_.reset();
    if (onGranted_) {
        onGranted_();
    }
}

} // namespace nivu
