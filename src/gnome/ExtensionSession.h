// Nivu's side of GNOME's Wayland session: whether this is one, and the GNOME backend's parts
// built and connected in their order (bridge, extension link, desktop, bus name).
#pragma once

#include "bridge/BridgeDesktop.h"
#include "bridge/ScriptBridge.h"
#include "gnome/ExtensionLink.h"
#include "platform/Scheduler.h"

#include <QString>
#include <memory>
#include <string>

namespace nivu::gnome {

// The extension's id, as GNOME knows it.
inline constexpr auto extensionUuid = "nivu@nivu.org";

// WAYLAND_DISPLAY is set and XDG_CURRENT_DESKTOP names GNOME (Ubuntu's is "ubuntu:GNOME"):
// there only a GNOME Shell extension sees other programs' windows.
bool onGnomeWayland();

class ExtensionSession {
public:
    // Nothing, and one line in problem, when the bus cannot be reached or the name is taken
    // (the program runs already). service: the program's own session-bus name.
    static std::unique_ptr<ExtensionSession> connect(Scheduler& scheduler, const QString& service,
                                                     std::string& problem);

    bridge::BridgeDesktop& desktop() { return desktop_; }
    bridge::ScriptBridge& bridge() { return bridge_; }
    ExtensionLink& link() { return link_; }

private:
    ExtensionSession(Scheduler& scheduler, const QDBusConnection& bus, const QString& service);

    bridge::ScriptBridge bridge_;
    ExtensionLink link_;
    bridge::BridgeDesktop desktop_;
};

} // namespace nivu::gnome
