// Window access on start: at once when granted, otherwise after explaining how to get it and
// polling once a second until it arrives. Once seen, access is not tested again.
#pragma once

#include "common/WeakAnchor.h"
#include "platform/Desktop.h"
#include "platform/Scheduler.h"

#include <functional>
#include <optional>

namespace nivu {

class PermissionFlow {
public:
    static constexpr Duration pollInterval{1000};

    // explain: tells the user how to get access (Nivu's explanation; nivu-inspect's line).
    PermissionFlow(Desktop& desktop, Scheduler& scheduler, std::function<void()> explain)
        : desktop_(desktop)
        , scheduler_(scheduler)
        , explain_(std::move(explain)) {}
    PermissionFlow(const PermissionFlow&) = delete;
    PermissionFlow& operator=(const PermissionFlow&) = delete;

    bool isTrusted() { return desktop_.hasAccessibilityPermission(); }
    // Takes the desktop's own step towards access, then asks whether access is there.
    bool obtainAccess() {
        desktop_.obtainAccess(anchor_.weakly([](PermissionFlow& self) { self.stepTaken(); }));
        return isTrusted();
    }
    // Without access: shows the explanation (at start-up) and polls, calling onGranted at the
    // tick that sees access.
    void waitForAccess(std::function<void()> onGranted, bool explain = true);
    void startPermissionPolling();
    void checkPermission();
    // The menu entry: explains again; polling goes on as it was.
    void requestAccessibilityPermission() { explain_(); }
    void stopPolling() { permissionCheckTimer_.reset(); }

    bool isPolling() const { return permissionCheckTimer_.has_value(); }

private:
    // The desktop's step has ended: access granted then is taken at once. No new step: the
    // poll paces them.
    void stepTaken();
    void granted();

    Desktop& desktop_;
    Scheduler& scheduler_;
    std::function<void()> explain_;
    std::function<void()> onGranted_;
    std::optional<Subscription> permissionCheckTimer_;
    WeakAnchor<PermissionFlow> anchor_{this};
};

} // namespace nivu
