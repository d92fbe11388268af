// Nivu's side of a Plasma Wayland session: whether this is one, and the KWin backend's parts
// built and connected in their order (bus name, script file, script loader, desktop).
#pragma once

#include "bridge/BridgeDesktop.h"
#include "bridge/ScriptBridge.h"
#include "kwin/ScriptLoader.h"
#include "platform/Scheduler.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>

namespace nivu::kwin {

// WAYLAND_DISPLAY is set, and XDG_CURRENT_DESKTOP names KDE or KDE_FULL_SESSION is true (as
// Plasma's session sets them): there only KWin's scripts see other programs' windows. The bus
// cannot be asked this early: Qt's platform is chosen from the answer.
bool onPlasmaWayland();

class KWinSession {
public:
    // A program's own session-bus name and script name, so that nivu and nivu-inspect can run
    // side by side.
    struct Names {
        QString service;
        QString script;
    };

    // Nothing, and one line in problem, when the bus cannot be reached, the name is taken (the
    // program runs already) or the script cannot be written.
    static std::unique_ptr<KWinSession> connect(Scheduler& scheduler, const Names& names,
                                                std::string& problem);

    bridge::BridgeDesktop& desktop() { return desktop_; }
    bridge::ScriptBridge& bridge() { return bridge_; }

private:
    KWinSession(Scheduler& scheduler, const QDBusConnection& bus, const Names& names,
                const QString& scriptPath);

    bridge::ScriptBridge bridge_;
    ScriptLoader loader_;
    bridge::BridgeDesktop desktop_;
};

} // namespace nivu::kwin
