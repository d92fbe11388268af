// Finding and joining the Plasma Wayland session.
#include "kwin/KWinSession.h"

#include "kwin/ScriptFile.h"

#include <QFile>

namespace nivu::kwin {

namespace {
// The script's fetch: KWin's callDBus takes no timeout, and Qt's D-Bus gives up on a call after
// 25 s, after which the script fetches no more. Answered empty before that.
constexpr std::chrono::milliseconds fetchKeepAlive{20000};
// How long Nivu's start waits for KWin to load and start the script.
constexpr std::chrono::milliseconds loadTimeout{2000};
} // namespace

bool onPlasmaWayland() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           (qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':').contains(u"KDE") ||
            qEnvironmentVariable("KDE_FULL_SESSION") == u"true");
}

KWinSession::KWinSession(Scheduler& scheduler, const QDBusConnection& bus, const Names& names,
                         const QString& scriptPath)
    : bridge_(bus, names.service, fetchKeepAlive)
    , loader_(bus, scriptPath, names.script)
    , desktop_(scheduler, bridge_, loader_) {}

std::unique_ptr<KWinSession> KWinSession::connect(Scheduler& scheduler, const Names& names,
                                                  std::string& problem) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        problem = "no session bus: Nivu needs one to reach KWin";
        return nullptr;
    }
    const auto scriptPath = writeScriptFile(names.service, names.script);
    if (!scriptPath) {
        problem = "cannot write the KWin script to " +
                  QFile::encodeName(scriptFilePath(names.script)).toStdString();
        return nullptr;
    }
    std::unique_ptr<KWinSession> session(new KWinSession(scheduler, bus, names, *scriptPath));
    if (!session->bridge_.publish()) {
        problem = "already running in this session";
        return nullptr;
    }
    // The desktop's own step towards access, taken now, so that access is there when Nivu
    // first asks; where it fails, the permission flow takes it again each second.
    session->desktop_.obtainAccess({});
    session->loader_.awaitLoad(loadTimeout);
    return session;
}

} // namespace nivu::kwin
