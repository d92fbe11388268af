// The desktop of an EWMH window manager.
#include "x11/X11Desktop.h"

#include <algorithm>
#include <utility>

namespace nivu::x11 {

namespace {
bool contains(const std::vector<std::uint32_t>& items, std::uint32_t item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

// How long a window manager has to answer a size request before it is asked once more, as a
// configure request: well beyond a loaded manager's answer, short of what a user notices.
constexpr auto sizeAnswerTimeout = std::chrono::milliseconds(250);
} // namespace

class X11Desktop::Window final : public WindowElement {
public:
    explicit Window(xcb_window_t id)
        : id(id) {}
    const xcb_window_t id;
};

X11Desktop::X11Desktop(X11Connection& connection, Scheduler& scheduler)
    : x_(connection)
    , scheduler_(scheduler)
    , notifications_(
          scheduler,
          [](backend::WindowKey window) {
              return std::make_shared<Window>(static_cast<xcb_window_t>(window));
          },
          [this](ProcessId process, Clock::time_point since) {
              return clients_.recent(process, since);
          })
    , accessLoss_(scheduler) {
    const std::uint32_t rootMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x_.get(), x_.root(), XCB_CW_EVENT_MASK, &rootMask);
    eventSubscriptions_.push_back(x_.onEvent(
        XCB_PROPERTY_NOTIFY, [this](const auto& event) { handlePropertyNotify(event); }));
    eventSubscriptions_.push_back(x_.onEvent(
        XCB_CONFIGURE_NOTIFY, [this](const auto& event) { handleConfigureNotify(event); }));
    eventSubscriptions_.push_back(
        x_.onEvent(XCB_DESTROY_NOTIFY, [this](const auto& event) { handleDestroyNotify(event); }));
    refreshClientList(/*initial=*/true);
    x_.flush();
}

X11Desktop::~X11Desktop() {
    *alive_ = false;
}

// --- events -------------------------------------------------------------------------------

void X11Desktop::handlePropertyNotify(const xcb_generic_event_t& generic) {
    const auto& event = reinterpret_cast<const xcb_property_notify_event_t&>(generic);
    if (event.window != x_.root()) {
        return;
    }
    if (event.atom == x_.atom(Atom::netActiveWindow)) {
        announceActiveApplication();
    } else if (event.atom == x_.atom(Atom::netClientList)) {
        refreshClientList(/*initial=*/false);
    }
}

void X11Desktop::handleConfigureNotify(const xcb_generic_event_t& generic) {
    const auto& event = reinterpret_cast<const xcb_configure_notify_event_t&>(generic);
    auto* client = clients_.find(event.window);
    if (event.event != event.window || !client ||
        (client->facts.width == event.width && client->facts.height == event.height)) {
        return; // a move, a restack, or a manager's word that nothing changed
    }
    // A size request is answered once the window has the size asked. Another change in between
    // (the manager placing a new window, the program sizing its first one) may cross the request
    // and says nothing of whether the manager took it.
    if (const auto pending = unanswered_.find(event.window);
        pending != unanswered_.end() && pending->second.width == event.width &&
        pending->second.height == event.height) {
        unanswered_.erase(pending);
    }
    client->facts = {event.width, event.height};
    // The event says the new size; facts read earlier in this batch are otherwise still good.
    if (const auto cached = facts_.find(event.window); cached != facts_.end()) {
        const Size shadow = cached->second.shadow;
        cached->second.size = Size{event.width - shadow.width, event.height - shadow.height};
    }
    deliver(event.window, WindowNotification::windowResized);
}

void X11Desktop::handleDestroyNotify(const xcb_generic_event_t& generic) {
    const auto& event = reinterpret_cast<const xcb_destroy_notify_event_t&>(generic);
    if (event.window != XCB_NONE && event.window == watchedCheckWindow_) {
        reportAccessLoss();
    }
}

void X11Desktop::reportAccessLoss() {
    watchedCheckWindow_ = XCB_NONE;
    accessLoss_.report();
}

void X11Desktop::refreshClientList(bool initial) {
    const auto listed = rootList(Atom::netClientList);
    std::vector<xcb_window_t> added;
    for (const auto window : listed) {
        if (!clients_.contains(window)) {
            added.push_back(window);
        }
    }
    clients_.retain([&](backend::WindowKey window, const auto&) {
        return contains(listed, static_cast<xcb_window_t>(window));
    });
    if (added.empty()) {
        return;
    }
    const std::uint32_t clientMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    for (const auto window : added) {
        xcb_change_window_attributes(x_.get(), window, XCB_CW_EVENT_MASK, &clientMask);
    }
    fetchFacts(added);
    const auto now = Clock::now();
    for (const auto window : added) {
        const WindowFacts& known = facts(window);
        if (!known.exists) {
            continue; // gone already
        }
        const ClientSize size{known.size ? static_cast<std::uint32_t>(known.size->width) : 0,
                              known.size ? static_cast<std::uint32_t>(known.size->height) : 0};
        clients_.add(
            window, {known.application(window), initial ? std::nullopt : std::optional(now), size});
    }
    if (!initial) {
        for (const auto window : added) {
            if (clients_.contains(window)) {
                deliver(window, WindowNotification::windowCreated);
            }
        }
    }
}

void X11Desktop::announceActiveApplication() {
    if (const auto window = activeWindow()) {
        activations_.emit(applicationOf(*window));
    }
}

void X11Desktop::deliver(xcb_window_t window, WindowNotification notification) {
    const auto* client = clients_.find(window);
    if (!client) {
        return;
    }
    const ProcessId application = client->application;
    if (notification == WindowNotification::windowResized &&
        notifications_.isWanted(application, notification)) {
        x_.queryPointerAhead(); // the badge goes beside the pointer: ask with the facts
    }
    notifications_.deliver(window, application, notification);
}

// --- reading the server --------------------------------------------------------------------

std::vector<std::uint32_t> X11Desktop::rootList(Atom property) {
    auto items = collectCardinals(x_, requestProperty(x_, x_.root(), x_.atom(property), 1 << 20));
    waited();
    return items;
}

std::optional<xcb_window_t> X11Desktop::activeWindow() {
    const auto windows = rootList(Atom::netActiveWindow);
    if (windows.empty() || windows.front() == XCB_NONE) {
        return std::nullopt;
    }
    return windows.front();
}

ProcessId X11Desktop::applicationOf(xcb_window_t window) {
    if (const auto* client = clients_.find(window)) {
        return client->application;
    }
    return facts(window).application(window);
}

const WindowFacts& X11Desktop::facts(xcb_window_t window) {
    if (!facts_.contains(window)) {
        fetchFacts({window});
    }
    return facts_[window];
}

void X11Desktop::fetchFacts(const std::vector<xcb_window_t>& windows) {
    auto read = readWindowFacts(x_, windows);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        facts_[windows[i]] = std::move(read[i]);
    }
    if (!factsExpiryQueued_) {
        factsExpiryQueued_ = true;
        scheduler_.runAfter(Duration::zero(), [this, alive = std::weak_ptr<bool>(alive_)] {
            if (const auto live = alive.lock(); live && *live) {
                factsExpiryQueued_ = false;
                facts_.clear();
            }
        });
    }
}

xcb_window_t X11Desktop::idOf(const WindowElement& window) {
    const auto* x11Window = dynamic_cast<const Window*>(&window);
    return x11Window ? x11Window->id : XCB_NONE;
}

// --- Desktop -------------------------------------------------------------------------------

bool X11Desktop::hasAccessibilityPermission() {
    const auto checkCookie = requestProperty(x_, x_.root(), x_.atom(Atom::netSupportingWmCheck), 4);
    const auto supportedCookie = requestProperty(x_, x_.root(), x_.atom(Atom::netSupported), 16384);
    x_.flush();
    const auto check = collectProperty(x_, checkCookie);
    const auto supported = collectProperty(x_, supportedCookie);
    waited();
    if (!check || cardinals(*check).empty() || !supported) {
        return false;
    }
    const auto atoms = cardinals(*supported);
    if (!contains(atoms, x_.atom(Atom::netActiveWindow)) ||
        !contains(atoms, x_.atom(Atom::netClientList))) {
        return false;
    }
    // The check window must point at itself, or it is a leftover of a window manager that died.
    const xcb_window_t wmWindow = cardinals(*check).front();
    const auto self =
        collectProperty(x_, requestProperty(x_, wmWindow, x_.atom(Atom::netSupportingWmCheck), 4));
    waited();
    return self && !cardinals(*self).empty() && cardinals(*self).front() == wmWindow;
}

Subscription X11Desktop::observeAccessibilityLoss(std::function<void()> onLost) {
    auto watching = accessLoss_.watch(std::move(onLost));
    const auto check = rootList(Atom::netSupportingWmCheck);
    watchedCheckWindow_ = check.empty() ? XCB_NONE : check.front();
    if (watchedCheckWindow_ == XCB_NONE) {
        reportAccessLoss();
    } else {
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        const auto selected = xcb_change_window_attributes_checked(x_.get(), watchedCheckWindow_,
                                                                   XCB_CW_EVENT_MASK, &mask);
        // Selecting on a window that is already gone fails: the manager died just now.
        if (xcb_generic_error_t* error = xcb_request_check(x_.get(), selected)) {
            std::free(error);
            reportAccessLoss();
        }
        waited();
    }
    return watching;
}

std::optional<ProcessId> X11Desktop::frontmostApplication() {
    const auto window = activeWindow();
    if (!window) {
        return std::nullopt;
    }
    return applicationOf(*window);
}

Subscription X11Desktop::observeActivations(std::function<void(ProcessId)> observer) {
    return activations_.connect(std::move(observer));
}

std::optional<std::string> X11Desktop::bundleIdentifier(ProcessId process) {
    for (const auto& [window, client] : clients_) {
        if (client.application == process) {
            const WindowFacts& known = facts(static_cast<xcb_window_t>(window));
            if (known.exists) {
                return known.wmClass;
            }
        }
    }
    return std::nullopt;
}

WindowRef X11Desktop::focusedWindow(ProcessId process) {
    const auto window = activeWindow();
    if (!window || applicationOf(*window) != process) {
        return nullptr;
    }
    return std::make_shared<Window>(*window);
}

std::unique_ptr<ApplicationObserver> X11Desktop::createObserver(ProcessId process,
                                                                NotificationCallback callback) {
    return notifications_.createObserver(process, std::move(callback));
}

std::optional<WindowSubrole> X11Desktop::windowSubrole(const WindowElement& window) {
    return facts(idOf(window)).subrole(x_);
}

bool X11Desktop::isWindowSizeSettable(const WindowElement& window) {
    return facts(idOf(window)).sizeSettable(x_);
}

std::optional<Size> X11Desktop::windowSize(const WindowElement& window) {
    return facts(idOf(window)).size;
}

std::optional<std::string> X11Desktop::bundleIdentifier(const WindowElement& window) {
    const WindowFacts& known = facts(idOf(window));
    return known.exists ? known.wmClass : std::nullopt;
}

std::optional<std::string> X11Desktop::windowIdentifier(const WindowElement& window) {
    return facts(idOf(window)).role;
}

void X11Desktop::setWindowSize(const WindowElement& window, Size size) {
    const xcb_window_t id = idOf(window);
    const auto plan = id == XCB_NONE ? std::nullopt : requestWindowSize(x_, id, size, facts(id));
    if (!plan) {
        return;
    }
    // A window manager may list _NET_MOVERESIZE_WINDOW and ignore it (herbstluftwm does): where
    // the window's size has not changed meanwhile, the same is asked once more, the way every
    // manager takes. Moves and restacks in between (a click, an activation) say nothing of it.
    unanswered_[id] = *plan;
    scheduler_.runAfter(sizeAnswerTimeout,
                        [this, id, plan = *plan, alive = std::weak_ptr<bool>(alive_)] {
                            if (const auto live = alive.lock(); live && *live) {
                                configureIfUnanswered(id, plan);
                            }
                        });
}

void X11Desktop::configureIfUnanswered(xcb_window_t window, const ResizePlan& plan) {
    const auto pending = unanswered_.find(window);
    if (pending != unanswered_.end() && pending->second == plan) { // not a newer request's
        unanswered_.erase(pending);
        configureWindow(x_, window, plan);
    }
}

} // namespace nivu::x11
