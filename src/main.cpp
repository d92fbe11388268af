// nivu: the tray utility. Picks the desktop backend (KWin's script on Plasma's Wayland session,
// X11 everywhere else), builds it and the Qt adapters, hands them to the controller and runs
// the event loop until Quit, SIGINT, SIGTERM or SIGHUP.
#include "app/AppDelegate.h"
#include "common/Warning.h"
#include "kwin/KWinHotKeys.h"
#include "kwin/KWinPointerEvents.h"
#include "kwin/KWinSession.h"
#include "memory/WindowSizeMemory.h"
#include "qt/DesktopCoordinates.h"
#include "qt/QtScheduler.h"
#include "qt/QtShell.h"
#include "qt/QtUserDefaults.h"
#include "qt/SignalWatcher.h"
#include "qt/SvgIcon.h"
#include "qt/Translations.h"
#include "x11/Compositor.h"
#include "x11/InputFocus.h"
#include "x11/InstanceLock.h"
#include "x11/X11Connection.h"
#include "x11/X11Desktop.h"
#include "x11/X11HotKeys.h"
#include "x11/X11PointerEvents.h"

#include <QApplication>
#include <QIcon>

namespace {

// What the backends hand to the controller.
struct Backend {
    nivu::Desktop& desktop;
    nivu::PointerEvents& pointer;
    nivu::HotKeyPlatform& hotKeys;
    std::function<bool()> compositing;
    std::function<std::uint64_t()> keyboardFocus;
    nivu::WindowPlacer placeWindow;
    nivu::AccessNeed accessNeed = nivu::AccessNeed::windowManager;
};

int runController(nivu::QtScheduler& scheduler, const Backend& backend) {
    nivu::HotKeyRegistry hotKeys(backend.hotKeys);
    nivu::QtShell shell(backend.compositing, backend.keyboardFocus, backend.placeWindow);
    shell.explainAccessAs(backend.accessNeed);
    nivu::AppSettings::provideSharedDefaults(std::make_unique<nivu::QtUserDefaults>());
    shell.editSettingsOf([]() -> nivu::AppSettings& { return nivu::AppSettings::shared(); },
                         hotKeys);
    nivu::AppDelegate delegate(
        nivu::AppEnvironment{backend.desktop, scheduler, backend.pointer, shell, hotKeys,
                             []() -> nivu::SizeMemory& { return nivu::WindowSizeMemory::shared(); },
                             []() -> nivu::AppSettings& { return nivu::AppSettings::shared(); }});

    nivu::SignalWatcher stopOnSignal([](int) { QApplication::quit(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                     [&] { delegate.applicationWillTerminate(); });
    // Launched: the tray icon asks to be embedded before the event loop's first pass.
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}

int runOnX11(nivu::QtScheduler& scheduler) {
    std::unique_ptr<nivu::x11::X11Connection> connection;
    try {
        connection = std::make_unique<nivu::x11::X11Connection>(nullptr, scheduler);
    } catch (const std::exception& error) {
        nivu::warn(error.what());
        return 1;
    }
    nivu::x11::InstanceLock instance(*connection);
    if (!instance.acquire()) {
        nivu::warn("already running on display " + qEnvironmentVariable("DISPLAY").toStdString());
        return 1;
    }
    instance.onLost = [] {
        nivu::warn("another nivu took over this display");
        QApplication::quit();
    };
    int exitStatus = 0;
    auto lost = connection->onConnectionLost([&] {
        nivu::warn("lost the connection to the X server");
        exitStatus = 1;
        QApplication::exit(1);
    });
    nivu::x11::X11Desktop desktop(*connection, scheduler);
    nivu::x11::X11PointerEvents pointer(*connection, nivu::desktopPointFromX);
    nivu::x11::X11HotKeys hotKeys(*connection);
    const int status =
        runController(scheduler, Backend{desktop,
                                         pointer,
                                         hotKeys,
                                         [&] { return nivu::x11::compositorRunning(*connection); },
                                         [&] { return nivu::x11::inputFocus(*connection); },
                                         {}});
    return exitStatus != 0 ? exitStatus : status;
}

int runOnKWin(nivu::QtScheduler& scheduler) {
    std::string problem;
    const auto session = nivu::kwin::KWinSession::connect(
        scheduler, {QStringLiteral("org.nivu.Nivu"), QStringLiteral("nivu")}, problem);
    if (!session) {
        nivu::warn(problem);
        return 1;
    }
    // The pointer follows each report before the hot keys see it: a press opens the menu where
    // the pointer was then.
    nivu::kwin::KWinPointerEvents pointer(session->bridge(), nivu::desktopPointFromLogical);
    nivu::kwin::KWinHotKeys hotKeys(session->bridge());
    return runController(scheduler,
                         Backend{session->desktop(),
                                 pointer,
                                 hotKeys,
                                 [] { return true; },
                                 {},
                                 [&](const QString& title, QPoint topLeft, bool takesFocus) {
                                     session->placeOwnWindow(title, topLeft, takesFocus);
                                 },
                                 nivu::AccessNeed::kwinScript});
}

} // namespace

int main(int argc, char** argv) {
    const bool kwin = nivu::kwin::onPlasmaWayland();
    // Before Qt, which would abort with a message of its own: one clear line and a status.
    if (const auto problem = kwin ? nivu::kwin::waylandProblem()
                                  : nivu::x11::X11Connection::displayProblem(nullptr)) {
        nivu::warn(*problem);
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        // The badge must live on the display whose windows it measures.
        qputenv("QT_QPA_PLATFORM", kwin ? "wayland" : "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nivu"));
    QApplication::setApplicationVersion(QStringLiteral(NIVU_VERSION));
    QApplication::setWindowIcon(nivu::svgIcon(QStringLiteral(":/icons/MenuBarIcon.svg")));
    QApplication::setQuitOnLastWindowClosed(false);
    nivu::installTranslations(app);

    nivu::QtScheduler scheduler;
    return kwin ? runOnKWin(scheduler) : runOnX11(scheduler);
}
