// The session on an X display, through one connection.
#include "session/X11Session.h"

#include "qt/DesktopCoordinates.h"
#include "x11/Compositor.h"
#include "x11/InputFocus.h"

namespace nivu {

std::unique_ptr<DesktopSession> X11Session::open(Scheduler& scheduler, std::string& problem) {
    try {
        auto connection = std::make_unique<x11::X11Connection>(nullptr, scheduler);
        return std::unique_ptr<DesktopSession>(new X11Session(std::move(connection), scheduler));
    } catch (const std::exception& error) {
        problem = error.what();
        return nullptr;
    }
}

X11Session::X11Session(std::unique_ptr<x11::X11Connection> connection, Scheduler& scheduler)
    : connection_(std::move(connection))
    , desktop_(*connection_, scheduler) {}

X11Session::~X11Session() = default;

PointerEvents& X11Session::pointer() {
    if (!pointer_) {
        pointer_ = std::make_unique<x11::X11PointerEvents>(*connection_, desktopPointFromX);
    }
    return *pointer_;
}

HotKeyPlatform& X11Session::hotKeys() {
    if (!hotKeys_) {
        hotKeys_ = std::make_unique<x11::X11HotKeys>(*connection_);
    }
    return *hotKeys_;
}

bool X11Session::compositing() {
    return x11::compositorRunning(*connection_);
}

std::function<std::uint64_t()> X11Session::keyboardFocus() {
    return [this] { return x11::inputFocus(*connection_); };
}

bool X11Session::claim(std::function<void()> onTakenOver, std::string& problem) {
    instance_ = std::make_unique<x11::InstanceLock>(*connection_);
    if (!instance_->acquire()) {
        problem = "already running on display " + qEnvironmentVariable("DISPLAY").toStdString();
        return false;
    }
    instance_->onLost = std::move(onTakenOver);
    return true;
}

Subscription X11Session::observeDisplayLoss(std::function<void(const std::string&)> onLost) {
    return connection_->onConnectionLost(
        [onLost = std::move(onLost)] { onLost("lost the connection to the X server"); });
}

} // namespace nivu
