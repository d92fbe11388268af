// nivu: the tray utility. Opens the session's desktop backend (KWin's script on Plasma's
// Wayland session, X11 everywhere else), builds the Qt adapters, hands them to the controller
// and runs the event loop until Quit, SIGINT, SIGTERM or SIGHUP.
#include "app/AppDelegate.h"
#include "common/Warning.h"
#include "memory/WindowSizeMemory.h"
#include "qt/QtScheduler.h"
#include "qt/QtShell.h"
#include "qt/QtUserDefaults.h"
#include "qt/SettledQuit.h"
#include "qt/SignalWatcher.h"
#include "qt/SvgIcon.h"
#include "qt/Translations.h"
#include "session/SessionChoice.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

namespace {

int runController(nivu::QtScheduler& scheduler, nivu::DesktopSession& session) {
    nivu::HotKeyRegistry hotKeys(session.hotKeys());
    nivu::QtShell shell([&] { return session.compositing(); }, session.keyboardFocus(),
                        session.windowPlacer());
    shell.explainAccessAs(session.accessNeed());
    session.observeAccessRefusal([&shell](nivu::TextKey why, const QString& detail) {
        shell.explainAccessRefusal(why, detail);
    });
    shell.makeStatusItemsWith([&](std::unique_ptr<nivu::StatusItem> tray) {
        return session.statusItem(std::move(tray));
    });
    nivu::AppSettings::provideSharedDefaults(std::make_unique<nivu::QtUserDefaults>());
    shell.editSettingsOf([]() -> nivu::AppSettings& { return nivu::AppSettings::shared(); },
                         hotKeys);
    nivu::AppDelegate delegate(
        nivu::AppEnvironment{session.desktop(), scheduler, session.pointer(), shell, hotKeys,
                             []() -> nivu::SizeMemory& { return nivu::WindowSizeMemory::shared(); },
                             []() -> nivu::AppSettings& { return nivu::AppSettings::shared(); }});

    nivu::SignalWatcher stopOnSignal([](int) { nivu::quitOnceFramesSettle(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                     [&] { delegate.applicationWillTerminate(); });
    // Launched: the tray icon asks to be embedded before the event loop's first pass.
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}

int run(nivu::QtScheduler& scheduler, nivu::SessionKind kind) {
    std::string problem;
    int exitStatus = 0;
    const auto session = nivu::openSession(
        kind, scheduler, {QStringLiteral("org.nivu.Nivu"), QStringLiteral("nivu")}, problem);
    if (!session || !session->claim(
                        [&] {
                            nivu::warn("another nivu took over this display");
                            exitStatus = 1;
                            QApplication::exit(1);
                        },
                        problem)) {
        nivu::warn(problem);
        return 1;
    }
    auto lost = session->observeDisplayLoss([&](const std::string& reason) {
        nivu::warn(reason);
        exitStatus = 1;
        QApplication::exit(1);
    });
    const int status = runController(scheduler, *session);
    return exitStatus != 0 ? exitStatus : status;
}

} // namespace

int main(int argc, char** argv) {
    const auto kind = nivu::detectSession();
    // Before Qt, which would abort with a message of its own: one clear line and a status.
    if (const auto problem = nivu::displayProblem(kind)) {
        nivu::warn(*problem);
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        // The badge must live on the display whose windows it measures.
        qputenv("QT_QPA_PLATFORM", kind == nivu::SessionKind::x11 ? "xcb" : "wayland");
    }
    if (kind == nivu::SessionKind::plasmaWayland &&
        qEnvironmentVariableIsEmpty("QT_WAYLAND_DISABLE_WINDOWDECORATION")) {
        // KWin draws the title bars of Nivu's windows. Qt before 6.8 starts OpenGL at the
        // first window shown only to ask whether it could draw them itself: the first badge
        // then came 55 ms later and Nivu stayed 56 MB larger.
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nivu"));
    QApplication::setApplicationVersion(QStringLiteral(NIVU_VERSION));
    QApplication::setWindowIcon(nivu::svgIcon(QStringLiteral(":/icons/MenuBarIcon.svg")));
    QApplication::setQuitOnLastWindowClosed(false);
    nivu::installTranslations(app);

    nivu::QtScheduler scheduler;
    const int status = run(scheduler, kind);
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        // Everything of Nivu's has ended and saved (settings and sizes are written at each
        // change). Qt's Wayland client may hang for ever in its display's teardown: its event
        // thread can quit with a read still prepared, and the frame thread's read then waits
        // for it. The compositor frees what the connection held as the process ends.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
