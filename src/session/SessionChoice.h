// Picks and builds the desktop backend of this session, in one place for nivu and
// nivu-inspect: KWin's script on Plasma's Wayland session, Nivu's extension on GNOME's, X11
// everywhere else.
#pragma once

#include "platform/Scheduler.h"
#include "session/DesktopSession.h"

#include <memory>
#include <optional>
#include <string>

namespace nivu {

enum class SessionKind { x11, plasmaWayland, gnomeWayland };

// The session's kind, from the environment. Decided before Qt starts: its platform follows
// from it.
SessionKind detectSession();
// Why the session's display cannot be reached, or nothing; asked before Qt, which would abort
// with a message of its own.
std::optional<std::string> displayProblem(SessionKind kind);
// The session's backend; nothing, and one line in problem, where it cannot be reached.
std::unique_ptr<DesktopSession> openSession(SessionKind kind, Scheduler& scheduler,
                                            const DesktopSession::Names& names,
                                            std::string& problem);

} // namespace nivu
