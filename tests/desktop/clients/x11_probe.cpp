// Drives Nivu's X11 backend from the command line for desktop tests:
//   x11-probe resize-focused WIDTH HEIGHT   writes a size to the focused window
//   x11-probe permission                    prints whether an EWMH window manager runs
#include "accessibility/WindowAccess.h"
#include "qt/QtScheduler.h"
#include "x11/X11Connection.h"
#include "x11/X11Desktop.h"

#include <QCoreApplication>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    nivu::QtScheduler scheduler;
    nivu::x11::X11Connection connection(nullptr, scheduler);
    nivu::x11::X11Desktop desktop(connection, scheduler);
    nivu::WindowAccess windows(desktop);

    if (args.size() == 4 && args[1] == QStringLiteral("resize-focused")) {
        const auto window = windows.focusedWindowOfFrontmostApplication();
        if (!window) {
            std::cerr << "no focused window\n";
            return 1;
        }
        windows.writeWindowSize(*window, args[2].toDouble(), args[3].toDouble());
        // One round trip so that the server has the request before we disconnect.
        desktop.hasAccessibilityPermission();
        return 0;
    }
    if (args.size() == 2 && args[1] == QStringLiteral("permission")) {
        std::cout << (desktop.hasAccessibilityPermission() ? "granted" : "missing") << std::endl;
        return 0;
    }
    std::cerr << "usage: x11-probe resize-focused WIDTH HEIGHT | permission\n";
    return 2;
}
