// Picking the session's backend.
#include "session/SessionChoice.h"

#include "gnome/ExtensionSession.h"
#include "kwin/KWinSession.h"
#include "session/GnomeSession.h"
#include "session/PlasmaSession.h"
#include "session/X11Session.h"
#include "x11/X11Connection.h"

#include <QFile>
#include <sys/stat.h>

namespace nivu {

namespace {
// Why the Wayland display cannot be reached, or nothing.
std::optional<std::string> waylandProblem() {
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString socket =
        name.startsWith(u'/') ? name : qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + name;
    struct stat status = {};
    if (::stat(QFile::encodeName(socket).constData(), &status) != 0 || !S_ISSOCK(status.st_mode)) {
        return "cannot open the Wayland display " + name.toStdString();
    }
    return std::nullopt;
}
} // namespace

SessionKind detectSession() {
    return kwin::onPlasmaWayland()   ? SessionKind::plasmaWayland
           : gnome::onGnomeWayland() ? SessionKind::gnomeWayland
                                     : SessionKind::x11;
}

std::optional<std::string> displayProblem(SessionKind kind) {
    return kind == SessionKind::x11 ? x11::X11Connection::displayProblem(nullptr)
                                    : waylandProblem();
}

std::unique_ptr<DesktopSession> openSession(SessionKind kind, Scheduler& scheduler,
                                            const DesktopSession::Names& names,
                                            std::string& problem) {
    switch (kind) {
    case SessionKind::plasmaWayland:
        return PlasmaSession::open(scheduler, names, problem);
    case SessionKind::gnomeWayland:
        return GnomeSession::open(scheduler, names, problem);
    case SessionKind::x11:
        break;
    }
    return X11Session::open(scheduler, problem);
}

} // namespace nivu
