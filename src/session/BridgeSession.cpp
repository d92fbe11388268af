// The pointer, hot keys and placements of a compositor that runs Nivu's side.
#include "session/BridgeSession.h"

#include "bridge/Commands.h"
#include "qt/DesktopCoordinates.h"

#include <QCoreApplication>

namespace nivu {

BridgeSession::BridgeSession(bridge::ScriptBridge& bridge, bridge::BridgeHotKeys::Notation notation)
    : bridge_(bridge)
    , notation_(std::move(notation)) {}

BridgeSession::~BridgeSession() = default;

PointerEvents& BridgeSession::pointer() {
    if (!pointer_) {
        pointer_ = std::make_unique<bridge::BridgePointerEvents>(bridge_, desktopPointFromLogical);
    }
    return *pointer_;
}

HotKeyPlatform& BridgeSession::hotKeys() {
    if (!hotKeys_) {
        hotKeys_ = std::make_unique<bridge::BridgeHotKeys>(bridge_, notation_);
    }
    return *hotKeys_;
}

WindowPlacer BridgeSession::windowPlacer() {
    return [this](OwnWindow window, const Placement& placement) {
        const QString title = titleOf(window);
        bridge_.hold(bridge::Standing::placementOf(title),
                     bridge::commands::place(title, QCoreApplication::applicationPid(),
                                             placement.topLeft, placement.atPointer,
                                             placement.takesFocus, placement.besidePointer));
    };
}

} // namespace nivu
