// The desktop that KWin's script reports.
#include "kwin/KWinDesktop.h"

#include <QJsonObject>
#include <utility>

namespace nivu::kwin {

namespace {
// How soon a script that KWin dropped is noticed (and loaded again, on access's next poll).
constexpr int scriptCheckMilliseconds = 2000;
} // namespace

class KWinDesktop::Window final : public WindowElement {
public:
    explicit Window(backend::WindowKey key)
        : key(key) {}
    const backend::WindowKey key;
};

KWinDesktop::KWinDesktop(Scheduler& scheduler, ScriptBridge& bridge, ScriptLoader& loader)
    : bridge_(bridge)
    , loader_(loader)
    , kwinWatcher_(QStringLiteral("org.kde.KWin"), QDBusConnection::sessionBus(),
                   QDBusServiceWatcher::WatchForOwnerChange)
    , notifications_(
          scheduler, [](backend::WindowKey key) { return std::make_shared<Window>(key); },
          [this](ProcessId process, Clock::time_point since) {
              return windows_.recent(process, since);
          })
    , accessLoss_(scheduler) {
    reports_ =
        bridge_.reports.connect([this](const ScriptReport& report) { handleReport(report); });
    QObject::connect(&kwinWatcher_, &QDBusServiceWatcher::serviceOwnerChanged,
                     [this](const QString&, const QString& oldOwner, const QString&) {
                         if (!oldOwner.isEmpty()) {
                             handleScriptGone();
                         }
                     });
    scriptCheck_.setInterval(scriptCheckMilliseconds);
    QObject::connect(&scriptCheck_, &QTimer::timeout, [this] {
        if (loader_.isLoaded()) {
            loader_.checkStillLoaded(&scriptCheck_, [this] {
                if (loader_.isLoaded()) {
                    handleScriptGone();
                }
            });
        }
    });
    scriptCheck_.start();
}

KWinDesktop::~KWinDesktop() = default;

void KWinDesktop::handleReport(const ScriptReport& report) {
    using Kind = ScriptReport::Kind;
    switch (report.kind) {
    case Kind::window: {
        if (keys_.contains(report.id)) {
            return;
        }
        const auto key = nextKey_++;
        keys_[report.id] = key;
        windows_.add(key, {report.pid, report.existing ? std::nullopt : std::optional(Clock::now()),
                           Known{report.id, report}});
        if (!report.existing) {
            notifications_.deliver(key, report.pid, WindowNotification::windowCreated);
        }
        return;
    }
    case Kind::size: {
        const auto key = keyOf(report.id);
        if (!key) {
            return;
        }
        auto* window = windows_.find(*key);
        window->facts.report.width = report.width;
        window->facts.report.height = report.height;
        notifications_.deliver(*key, window->application, WindowNotification::windowResized);
        return;
    }
    case Kind::closed:
        if (const auto key = keyOf(report.id)) {
            windows_.erase(*key);
            keys_.erase(report.id);
            if (active_ == key) {
                active_.reset();
            }
        }
        return;
    case Kind::drag:
    case Kind::up:
    case Kind::hotKey:
        return; // the pointer's and the hot keys' own
    case Kind::active:
        active_ = keyOf(report.id);
        if (active_) {
            activations_.emit(windows_.find(*active_)->application);
        }
        return;
    }
}

void KWinDesktop::handleScriptGone() {
    loader_.forget();
    bridge_.reset();
    bridge_.acceptCallsFrom({});
    windows_.clear();
    keys_.clear();
    active_.reset();
    accessLoss_.report();
}

std::optional<backend::WindowKey> KWinDesktop::keyOf(const std::string& kwinId) const {
    const auto found = keys_.find(kwinId);
    return found == keys_.end() ? std::nullopt : std::optional(found->second);
}

const KWinDesktop::Known* KWinDesktop::known(const WindowElement& window) const {
    const auto* ours = dynamic_cast<const Window*>(&window);
    if (!ours) {
        return nullptr;
    }
    const auto* found = windows_.find(ours->key);
    return found ? &found->facts : nullptr;
}

// --- Desktop -------------------------------------------------------------------------------

bool KWinDesktop::hasAccessibilityPermission() {
    return loader_.isLoaded();
}

void KWinDesktop::obtainAccess() {
    if (!loader_.isLoaded()) {
        // The script calls at once; its calls must be taken from the start.
        bridge_.reset();
        bridge_.acceptCallsFrom(loader_.kwinBusName());
        loader_.load();
    }
}

Subscription KWinDesktop::observeAccessibilityLoss(std::function<void()> onLost) {
    auto watching = accessLoss_.watch(std::move(onLost));
    if (!loader_.isLoaded() || !loader_.kwinPresent()) {
        handleScriptGone();
    }
    return watching;
}

std::optional<ProcessId> KWinDesktop::frontmostApplication() {
    if (!active_) {
        return std::nullopt;
    }
    return windows_.find(*active_)->application;
}

Subscription KWinDesktop::observeActivations(std::function<void(ProcessId)> observer) {
    return activations_.connect(std::move(observer));
}

std::optional<std::string> KWinDesktop::bundleIdentifier(ProcessId process) {
    for (const auto& [key, window] : windows_) {
        if (window.application == process && !window.facts.report.resourceClass.empty()) {
            return window.facts.report.resourceClass;
        }
    }
    return std::nullopt;
}

std::optional<std::string> KWinDesktop::bundleIdentifier(const WindowElement& window) {
    const Known* found = known(window);
    if (!found || found->report.resourceClass.empty()) {
        return std::nullopt;
    }
    return found->report.resourceClass;
}

WindowRef KWinDesktop::focusedWindow(ProcessId process) {
    if (!active_ || windows_.find(*active_)->application != process) {
        return nullptr;
    }
    return std::make_shared<Window>(*active_);
}

std::unique_ptr<ApplicationObserver> KWinDesktop::createObserver(ProcessId process,
                                                                 NotificationCallback callback) {
    return notifications_.createObserver(process, std::move(callback));
}

std::optional<WindowSubrole> KWinDesktop::windowSubrole(const WindowElement& window) {
    const Known* found = known(window);
    if (!found) {
        return std::nullopt;
    }
    return found->report.normal   ? WindowSubrole::standardWindow
           : found->report.dialog ? WindowSubrole::dialog
                                  : WindowSubrole::unknown;
}

bool KWinDesktop::isWindowSizeSettable(const WindowElement& window) {
    const Known* found = known(window);
    return found && found->report.resizable;
}

std::optional<Size> KWinDesktop::windowSize(const WindowElement& window) {
    const Known* found = known(window);
    if (!found) {
        return std::nullopt;
    }
    return Size{static_cast<double>(found->report.width),
                static_cast<double>(found->report.height)};
}

std::optional<std::string> KWinDesktop::windowIdentifier(const WindowElement& window) {
    const Known* found = known(window);
    if (!found || found->report.role.empty()) {
        return std::nullopt;
    }
    return found->report.role;
}

void KWinDesktop::setWindowSize(const WindowElement& window, Size size) {
    const Known* found = known(window);
    if (!found) {
        return;
    }
    bridge_.send(QJsonObject{
        {QStringLiteral("c"), QStringLiteral("size")},
        {QStringLiteral("id"), QString::fromStdString(found->kwinId)},
        {QStringLiteral("w"), static_cast<double>(roundHalfAwayFromZero(size.width))},
        {QStringLiteral("h"), static_cast<double>(roundHalfAwayFromZero(size.height))}});
}

} // namespace nivu::kwin
