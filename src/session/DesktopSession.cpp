// Picking the session's backend.
#include "session/DesktopSession.h"

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

DesktopSession::Kind DesktopSession::detect() {
    return kwin::onPlasmaWayland()   ? Kind::plasmaWayland
           : gnome::onGnomeWayland() ? Kind::gnomeWayland
                                     : Kind::x11;
}

std::optional<std::string> DesktopSession::displayProblem(Kind kind) {
    return kind == Kind::x11 ? x11::X11Connection::displayProblem(nullptr) : waylandProblem();
}

std::unique_ptr<DesktopSession> DesktopSession::open(Kind kind, Scheduler& scheduler,
                                                     const Names& names, std::string& problem) {
    switch (kind) {
    case Kind::plasmaWayland:
        return PlasmaSession::open(scheduler, names, problem);
    case Kind::gnomeWayland:
        return GnomeSession::open(scheduler, names, problem);
    case Kind::x11:
        break;
    }
    return X11Session::open(scheduler, problem);
}

} // namespace nivu
