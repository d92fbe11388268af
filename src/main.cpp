// nivu: the tray utility. Builds the X11 backend and the Qt adapters, hands them to the
// controller and runs the event loop until Quit, SIGINT, SIGTERM or SIGHUP.
#include "app/AppDelegate.h"
#include "common/Warning.h"
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

int main(int argc, char** argv) {
    // Before Qt, which would abort with a message of its own: one clear line and a status.
    if (const auto problem = nivu::x11::X11Connection::displayProblem(nullptr)) {
        nivu::warn(*problem);
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb"); // the badge must live on the X display we watch
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nivu"));
    QApplication::setApplicationVersion(QStringLiteral(NIVU_VERSION));
    QApplication::setWindowIcon(nivu::svgIcon(QStringLiteral(":/icons/MenuBarIcon.svg")));
    QApplication::setQuitOnLastWindowClosed(false);
    nivu::installTranslations(app);

    nivu::QtScheduler scheduler;
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
    nivu::x11::X11HotKeys hotKeyPlatform(*connection);
    nivu::HotKeyRegistry hotKeys(hotKeyPlatform);
    nivu::QtShell shell([&] { return nivu::x11::compositorRunning(*connection); },
                        [&] { return nivu::x11::inputFocus(*connection); });
    nivu::AppSettings::provideSharedDefaults(std::make_unique<nivu::QtUserDefaults>());
    shell.editSettingsOf([]() -> nivu::AppSettings& { return nivu::AppSettings::shared(); },
                         hotKeys);
    nivu::AppDelegate delegate(
        nivu::AppEnvironment{desktop, scheduler, pointer, shell, hotKeys,
                             []() -> nivu::SizeMemory& { return nivu::WindowSizeMemory::shared(); },
                             []() -> nivu::AppSettings& { return nivu::AppSettings::shared(); }});

    nivu::SignalWatcher stopOnSignal([](int) { QApplication::quit(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit,
                     [&] { delegate.applicationWillTerminate(); });
    // Launched: the tray icon asks to be embedded before the event loop's first pass.
    delegate.applicationDidFinishLaunching();
    const int status = QApplication::exec();
    return exitStatus != 0 ? exitStatus : status;
}
