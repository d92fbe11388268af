// The desktop backend of a session, as nivu and nivu-inspect use it (see SessionChoice for
// which one a session gets).
#pragma once

#include "platform/Desktop.h"
#include "platform/HotKeys.h"
#include "platform/PointerEvents.h"
#include "qt/QtShell.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace nivu {

class DesktopSession {
public:
    // A program's own names on the session bus and in KWin, so that nivu and nivu-inspect run
    // side by side; X11 needs none.
    struct Names {
        QString service;
        QString script;
    };

    DesktopSession() = default;
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;
    virtual ~DesktopSession() = default;

    virtual Desktop& desktop() = 0;
    // Made at the first call: nivu-inspect needs neither.
    virtual PointerEvents& pointer() = 0;
    virtual HotKeyPlatform& hotKeys() = 0;
    // Whether translucency works on the screen now.
    virtual bool compositing() = 0;
    // The window with the keyboard focus, where the backend can tell (see PendingDeactivation).
    virtual std::function<std::uint64_t()> keyboardFocus() = 0;
    // Places Nivu's own windows where Qt cannot; empty where Qt can.
    virtual WindowPlacer windowPlacer() = 0;
    // The status item: the tray's, or one that shows its menu where the desktop has no tray.
    virtual std::unique_ptr<StatusItem> statusItem(std::unique_ptr<StatusItem> tray) {
        return tray;
    }
    // What window access takes here, which the explanation names.
    virtual AccessNeed accessNeed() const = 0;
    // Calls onRefused where the desktop says why it refuses window access, as it learns it (on
    // GNOME: why it does not run Nivu's extension): the text, with "%1" standing for detail.
    virtual void
    observeAccessRefusal(std::function<void(TextKey why, const QString& detail)> /*onRefused*/) {}
    // Makes this program the one Nivu of the display; false, with the reason in problem, where
    // another runs. onTakenOver: a later one took the display over.
    virtual bool claim(std::function<void()> onTakenOver, std::string& problem) = 0;
    // Calls onLost, with the reason, once the display cannot be reached any more.
    [[nodiscard]] virtual Subscription
    observeDisplayLoss(std::function<void(const std::string& reason)> onLost) = 0;
};

} // namespace nivu
