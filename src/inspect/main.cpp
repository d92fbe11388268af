// nivu-inspect: prints, one JSON object a line, the frontmost application's id and every window
// event Nivu's observer delivers, so that users can find the ids to track.
#include "accessibility/AccessibilityObserver.h"
#include "app/PermissionFlow.h"
#include "qt/QtScheduler.h"
#include "qt/SignalWatcher.h"
#include "session/SessionChoice.h"

#include <QCoreApplication>
#include <cstring>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>

namespace {

constexpr const char* usage = R"(Usage: nivu-inspect [--help]

Prints what Nivu sees on the X display (on Plasma's and GNOME's Wayland sessions: what KWin or
GNOME Shell reports), one JSON object a line:
  {"event":"frontmost", ...}  the application in front and its id ("bundleIdentifier")
  {"event":"created", ...}    a new window of that application (0.2 s after it appeared)
  {"event":"resized", ...}    every size change of one of its windows

To have Nivu remember an application's window sizes, put its "bundleIdentifier" into the list
"trackedBundleIdentifiers" in ~/.nivu/config.json. Windows are told apart by their
"windowIdentifier" (WM_WINDOW_ROLE); windows without one share the key "_default". On Plasma's
Wayland session the id is the window's resourceClass (its app id).

Stop with Ctrl-C.
)";

nlohmann::json optionalText(const std::optional<std::string>& text) {
    return text ? nlohmann::json(*text) : nlohmann::json(nullptr);
}

// Window sizes are whole pixels on X11: shown as integers.
nlohmann::json dimension(double value) {
    const auto whole = static_cast<long long>(value);
    return static_cast<double>(whole) == value ? nlohmann::json(whole) : nlohmann::json(value);
}

void print(const nlohmann::json& line) {
    std::cout << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << usage;
            return 0;
        }
        std::cerr << "nivu-inspect: unknown argument " << argv[i] << "\n" << usage;
        return 2;
    }
    QCoreApplication app(argc, argv);
    nivu::QtScheduler scheduler;
    const auto kind = nivu::detectSession();
    std::string problem;
    const QString self = QString::number(QCoreApplication::applicationPid());
    const auto session = nivu::openSession(
        kind, scheduler,
        {QStringLiteral("org.nivu.Inspect") + self, QStringLiteral("nivu-inspect-") + self},
        problem);
    if (!session) {
        std::cerr << "nivu-inspect: " << problem << "\n";
        return 1;
    }
    const auto lost = session->observeDisplayLoss([](const std::string& reason) {
        std::cerr << "nivu-inspect: " << reason << "\n";
        QCoreApplication::exit(1);
    });
    nivu::Desktop& desktop = session->desktop();
    nivu::WindowAccess windows(desktop);
    nivu::AccessibilityObserver observer(desktop, scheduler);
    nivu::SignalWatcher stopOnSignal([](int) { QCoreApplication::quit(); });

    std::optional<nivu::ProcessId> lastFrontmost;
    const auto announce = [&](nivu::ProcessId process) {
        if (lastFrontmost == process) {
            return;
        }
        lastFrontmost = process;
        // The id its active window records under (a program's windows may have several), once
        // the window has settled, as a new window is looked at: LibreOffice names its class
        // anew right after mapping.
        scheduler.runAfter(nivu::AccessibilityObserver::createdWindowDelay, [&, process] {
            if (lastFrontmost != process) {
                return;
            }
            const nivu::WindowRef focused = desktop.focusedWindow(process);
            print(
                {{"event", "frontmost"},
                 {"pid", process},
                 {"bundleIdentifier", optionalText(focused ? windows.bundleIdentifierOf(*focused)
                                                           : desktop.bundleIdentifier(process))}});
        });
    };
    auto activations = desktop.observeActivations(announce);
    observer.onWindowCreated = [&](const nivu::AccessibilityObserver::CreatedWindowInfo& info) {
        const auto size = windows.readWindowSize(*info.element);
        print({{"event", "created"},
               {"bundleIdentifier", optionalText(info.bundleIdentifier)},
               {"windowIdentifier", optionalText(info.windowIdentifier)},
               {"width", size ? dimension(size->width) : nlohmann::json(nullptr)},
               {"height", size ? dimension(size->height) : nlohmann::json(nullptr)}});
    };
    observer.onWindowResized = [&](const nivu::AccessibilityObserver::ResizedWindowInfo& info) {
        print({{"event", "resized"},
               {"bundleIdentifier", optionalText(info.bundleIdentifier)},
               {"windowIdentifier", optionalText(info.windowIdentifier)},
               {"width", dimension(info.size.width)},
               {"height", dimension(info.size.height)}});
    };

    // Watching starts with window access, and waits for it again when it is lost (a window
    // manager replaced, KWin's script dropped), as Nivu does and with its words.
    nivu::PermissionFlow access(desktop, scheduler, [&] {
        const auto missing = nivu::QtShell::accessHeading(session->accessNeed()).toStdString();
        print({{"event", "waiting"}, {"reason", missing}});
    });
    nivu::Subscription loss;
    std::function<void()> begin = [&] {
        observer.start();
        loss = desktop.observeAccessibilityLoss([&] {
            loss.cancel();
            observer.stop();
            lastFrontmost.reset();
            access.waitForAccess(begin);
        });
        if (const auto frontmost = desktop.frontmostApplication()) {
            announce(*frontmost);
        }
    };
    if (access.obtainAccess()) {
        begin();
    } else {
        access.waitForAccess(begin);
    }
    const int status = QCoreApplication::exec();
    observer.stop();
    return status;
}
