// The desktop that the compositor side reports.
#include "bridge/BridgeDesktop.h"

#include "bridge/Commands.h"

#include <algorithm>
#include <type_traits>
#include <utility>

namespace nivu::bridge {

namespace {
// How soon a compositor side that was dropped is noticed (and brought up again, on access's
// next poll).
constexpr int runningCheckMilliseconds = 2000;
} // namespace

class BridgeDesktop::Window final : public WindowElement {
public:
    explicit Window(backend::WindowKey key)
        : key(key) {}
    const backend::WindowKey key;
};

BridgeDesktop::BridgeDesktop(Scheduler& scheduler, ScriptBridge& bridge, CompositorLink& link)
    : bridge_(bridge)
    , link_(link)
    , compositorWatcher_(link.compositorService(), QDBusConnection::sessionBus(),
                         QDBusServiceWatcher::WatchForOwnerChange)
    , notifications_(
          scheduler, [](backend::WindowKey key) { return std::make_shared<Window>(key); },
          [this](ProcessId process, Clock::time_point since) {
              return windows_.recent(process, since);
          })
    , accessLoss_(scheduler) {
    reports_ = bridge_.reports.connect([this](const Report& report) { handleReport(report); });
    QObject::connect(&compositorWatcher_, &QDBusServiceWatcher::serviceOwnerChanged,
                     [this](const QString&, const QString& oldOwner, const QString&) {
                         if (!oldOwner.isEmpty()) {
                             handleScriptGone();
                         }
                     });
    runningCheck_.setInterval(runningCheckMilliseconds);
    QObject::connect(&runningCheck_, &QTimer::timeout, [this] {
        if (link_.running()) {
            link_.checkStillRunning(&runningCheck_, [this] {
                if (link_.running()) {
                    handleScriptGone();
                }
            });
        }
    });
    if (!link_.saysGoodbye()) {
        runningCheck_.start();
    }
}

BridgeDesktop::~BridgeDesktop() = default;

void BridgeDesktop::handleReport(const Report& report) {
    std::visit(
        [this](const auto& fact) {
            using Fact = std::decay_t<decltype(fact)>;
            if constexpr (std::is_same_v<Fact, WindowReport>) {
                handleWindow(fact);
            } else if constexpr (std::is_same_v<Fact, SizeReport>) {
                handleSize(fact);
            } else if constexpr (std::is_same_v<Fact, ClosedReport>) {
                handleClosed(fact);
            } else if constexpr (std::is_same_v<Fact, ActiveReport>) {
                handleActive(fact);
            } else if constexpr (std::is_same_v<Fact, GoodbyeReport>) {
                if (link_.running()) {
                    handleScriptGone();
                }
            }
            // The rest are the pointer's and the hot keys' own; "hello" is the link's.
        },
        report);
}

void BridgeDesktop::handleWindow(const WindowReport& report) {
    if (keys_.contains(report.id)) {
        return;
    }
    const auto key = nextKey_++;
    keys_[report.id] = key;
    windows_.add(
        key, {report.pid, report.existing ? std::nullopt : std::optional(Clock::now()), report});
    if (!report.existing) {
        notifications_.deliver(key, report.pid, WindowNotification::windowCreated);
    }
}

void BridgeDesktop::handleSize(const SizeReport& report) {
    const auto key = keyOf(report.id);
    if (!key) {
        return;
    }
    auto* window = windows_.find(*key);
    window->facts.width = report.width;
    window->facts.height = report.height;
    notifications_.deliver(*key, window->application, WindowNotification::windowResized);
}

void BridgeDesktop::handleClosed(const ClosedReport& report) {
    if (const auto key = keyOf(report.id)) {
        windows_.erase(*key);
        keys_.erase(report.id);
        if (active_ == key) {
            active_.reset();
        }
    }
}

void BridgeDesktop::handleActive(const ActiveReport& report) {
    active_ = keyOf(report.id);
    if (active_) {
        activations_.emit(windows_.find(*active_)->application);
    }
}

void BridgeDesktop::handleScriptGone() {
    link_.forget();
    bridge_.reset();
    bridge_.acceptCallsFrom({});
    windows_.clear();
    keys_.clear();
    active_.reset();
    accessLoss_.report();
}

std::optional<backend::WindowKey> BridgeDesktop::keyOf(const std::string& compositorId) const {
    const auto found = keys_.find(compositorId);
    return found == keys_.end() ? std::nullopt : std::optional(found->second);
}

const BridgeDesktop::Known* BridgeDesktop::known(const WindowElement& window) const {
    const auto* ours = dynamic_cast<const Window*>(&window);
    if (!ours) {
        return nullptr;
    }
    const auto* found = windows_.find(ours->key);
    return found ? &found->facts : nullptr;
}

// --- Desktop -------------------------------------------------------------------------------

bool BridgeDesktop::hasAccessibilityPermission() {
    return link_.running();
}

void BridgeDesktop::obtainAccess(std::function<void()> stepTaken) {
    if (!link_.running()) {
        link_.start(bridge_, std::move(stepTaken));
    }
}

Subscription BridgeDesktop::observeAccessibilityLoss(std::function<void()> onLost) {
    auto watching = accessLoss_.watch(std::move(onLost));
    if (!link_.running()) {
        handleScriptGone();
    }
    return watching;
}

std::optional<ProcessId> BridgeDesktop::frontmostApplication() {
    if (!active_) {
        return std::nullopt;
    }
    return windows_.find(*active_)->application;
}

Subscription BridgeDesktop::observeActivations(std::function<void(ProcessId)> observer) {
    return activations_.connect(std::move(observer));
}

std::optional<std::string> BridgeDesktop::bundleIdentifier(ProcessId process) {
    for (const auto& [key, window] : windows_) {
        if (window.application == process && !window.facts.app.empty()) {
            return window.facts.app;
        }
    }
    return std::nullopt;
}

std::optional<std::string> BridgeDesktop::bundleIdentifier(const WindowElement& window) {
    const Known* found = known(window);
    if (!found || found->app.empty()) {
        return std::nullopt;
    }
    return found->app;
}

WindowRef BridgeDesktop::focusedWindow(ProcessId process) {
    if (!active_ || windows_.find(*active_)->application != process) {
        return nullptr;
    }
    return std::make_shared<Window>(*active_);
}

std::unique_ptr<ApplicationObserver> BridgeDesktop::createObserver(ProcessId process,
                                                                   NotificationCallback callback) {
    return notifications_.createObserver(process, std::move(callback));
}

std::optional<WindowSubrole> BridgeDesktop::windowSubrole(const WindowElement& window) {
    const Known* found = known(window);
    if (!found) {
        return std::nullopt;
    }
    return found->normal   ? WindowSubrole::standardWindow
           : found->dialog ? WindowSubrole::dialog
                           : WindowSubrole::unknown;
}

bool BridgeDesktop::isWindowSizeSettable(const WindowElement& window) {
    const Known* found = known(window);
    return found && found->resizable;
}

std::optional<Size> BridgeDesktop::windowSize(const WindowElement& window) {
    const Known* found = known(window);
    if (!found) {
        return std::nullopt;
    }
    return Size{static_cast<double>(found->width), static_cast<double>(found->height)};
}

std::optional<std::string> BridgeDesktop::windowIdentifier(const WindowElement& window) {
    const Known* found = known(window);
    if (!found || found->role.empty()) {
        return std::nullopt;
    }
    return found->role;
}

void BridgeDesktop::setWindowSize(const WindowElement& window, Size size) {
    const Known* found = known(window);
    if (!found) {
        return;
    }
    const auto side = [](double length) {
        return static_cast<int>(
            std::clamp<std::int64_t>(roundHalfAwayFromZero(length), 1, 1 << 16));
    };
    bridge_.send(commands::size(found->id, side(size.width), side(size.height)));
}

} // namespace nivu::bridge
