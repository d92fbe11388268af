// Picking the session's backend.
#include "session/DesktopSession.h"

#include "kwin/KWinSession.h"
#include "session/PlasmaSession.h"
#include "session/X11Session.h"
#include "x11/X11Connection.h"

namespace nivu {

DesktopSession::Kind DesktopSession::detect() {
    return kwin::onPlasmaWayland() ? Kind::plasmaWayland : Kind::x11;
}

std::optional<std::string> DesktopSession::displayProblem(Kind kind) {
    return kind == Kind::plasmaWayland ? kwin::waylandProblem()
                                       : x11::X11Connection::displayProblem(nullptr);
}

std::unique_ptr<DesktopSession> DesktopSession::open(Kind kind, Scheduler& scheduler,
                                                     const Names& names, std::string& problem) {
    return kind == Kind::plasmaWayland ? PlasmaSession::open(scheduler, names, problem)
                                       : X11Session::open(scheduler, problem);
}

} // namespace nivu
