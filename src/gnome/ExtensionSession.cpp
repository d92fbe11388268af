// Finding and joining GNOME's Wayland session.
#include "gnome/ExtensionSession.h"

#include <QCoreApplication>

namespace nivu::gnome {

namespace {
// How long Nivu's start waits for an enabled extension to report in.
constexpr std::chrono::milliseconds reportInTimeout{2000};
} // namespace

bool onGnomeWayland() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':').contains(u"GNOME");
}

ExtensionSession::ExtensionSession(Scheduler& scheduler, const QDBusConnection& bus,
                                   const QString& service)
    : bridge_(bus, service, std::nullopt) // the extension's fetch waits as long as it takes
    , link_(bus, bridge_, QString::fromLatin1(extensionUuid),
            QCoreApplication::applicationDirPath() + QStringLiteral("/gnome-extension"))
    , desktop_(scheduler, bridge_, link_) {}

std::unique_ptr<ExtensionSession>
ExtensionSession::connect(Scheduler& scheduler, const QString& service, std::string& problem) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        problem = "no session bus: Nivu needs one to reach GNOME Shell";
        return nullptr;
    }
    std::unique_ptr<ExtensionSession> session(new ExtensionSession(scheduler, bus, service));
    // The extension reports as soon as the name appears: its calls are taken from the start.
    session->bridge_.acceptCallsFrom(session->link_.shellBusName());
    if (!session->bridge_.publish()) {
        problem = "already running in this session";
        return nullptr;
    }
    session->link_.awaitRunning(reportInTimeout);
    return session;
}

} // namespace nivu::gnome
