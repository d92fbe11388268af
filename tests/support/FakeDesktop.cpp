// A scriptable in-memory desktop.
#include "FakeDesktop.h"

namespace nivu::test {

namespace {
std::string name(WindowNotification notification) {
    return notification == WindowNotification::windowResized ? "AXWindowResized"
                                                             : "AXWindowCreated";
}
} // namespace

class FakeDesktop::Observer final : public ApplicationObserver {
public:
    Observer(FakeDesktop& desktop, ProcessId process, std::shared_ptr<Registration> registration)
        : desktop_(desktop)
        , process_(process)
        , registration_(std::move(registration)) {}
    ~Observer() override {
        desktop_.journal.push_back("release observer " + std::to_string(process_));
        if (desktop_.registrations_[process_] == registration_) {
            desktop_.registrations_.erase(process_);
        }
    }
    bool addNotification(WindowNotification notification) override {
        desktop_.journal.push_back("add " + name(notification) + " " + std::to_string(process_));
        const auto& application = desktop_.applications_[process_];
        const bool resized = notification == WindowNotification::windowResized;
        if (resized ? application.refusesResized : application.refusesCreated) {
            return false;
        }
        (resized ? registration_->resized : registration_->created) = true;
        return true;
    }
    void removeNotification(WindowNotification notification) override {
        desktop_.journal.push_back("remove " + name(notification) + " " + std::to_string(process_));
        (notification == WindowNotification::windowResized ? registration_->resized
                                                           : registration_->created) = false;
    }
    void attachToMainLoop() override {
        desktop_.journal.push_back("attach " + std::to_string(process_));
        registration_->attached = true;
    }
    void detachFromMainLoop() override {
        desktop_.journal.push_back("detach " + std::to_string(process_));
        registration_->attached = false;
    }

private:
    FakeDesktop& desktop_;
    ProcessId process_;
    std::shared_ptr<Registration> registration_;
};

FakeApplication& FakeDesktop::addApplication(ProcessId process, std::optional<std::string> bundle) {
    auto& application = applications_[process];
    application.bundleIdentifier = std::move(bundle);
    return application;
}

std::shared_ptr<FakeWindow> FakeDesktop::addWindow(ProcessId process) {
    auto window = std::make_shared<FakeWindow>();
    window->process = process;
    return window;
}

void FakeDesktop::activate(ProcessId process) {
    frontmost = process;
    activations_.emit(process);
}

void FakeDesktop::notify(const std::shared_ptr<FakeWindow>& window,
                         WindowNotification notification) {
    const auto found = registrations_.find(window->process);
    if (found == registrations_.end() || !found->second->attached) {
        return;
    }
    const auto registration = found->second;
    const bool registered = notification == WindowNotification::windowResized
                                ? registration->resized
                                : registration->created;
    if (registered) {
        registration->callback(window, notification);
    }
}

std::size_t FakeDesktop::activationObserverCount() const {
    return activations_.connectionCount();
}

Subscription FakeDesktop::observeActivations(std::function<void(ProcessId)> observer) {
    journal.push_back("observe activations");
    auto connection = std::make_shared<Subscription>(activations_.connect(std::move(observer)));
    return Subscription([this, connection] {
        journal.push_back("stop observing activations");
        connection->cancel();
    });
}

std::optional<std::string> FakeDesktop::bundleIdentifier(ProcessId process) {
    journal.push_back("bundle " + std::to_string(process));
    const auto found = applications_.find(process);
    return found == applications_.end() ? std::nullopt : found->second.bundleIdentifier;
}

WindowRef FakeDesktop::focusedWindow(ProcessId process) {
    const auto found = applications_.find(process);
    return found == applications_.end() ? nullptr : found->second.focusedWindow;
}

std::unique_ptr<ApplicationObserver> FakeDesktop::createObserver(ProcessId process,
                                                                 NotificationCallback callback) {
    journal.push_back("create observer " + std::to_string(process));
    if (applications_[process].refusesObserver) {
        return nullptr;
    }
    auto registration = std::make_shared<Registration>();
    registration->callback = std::move(callback);
    registrations_[process] = registration;
    return std::make_unique<Observer>(*this, process, registration);
}

const FakeWindow* FakeDesktop::live(const WindowElement& window) {
    const auto* fake = dynamic_cast<const FakeWindow*>(&window);
    return fake && fake->exists ? fake : nullptr;
}

std::optional<std::string> FakeDesktop::windowSubrole(const WindowElement& window) {
    const auto* fake = live(window);
    return fake ? fake->subrole : std::nullopt;
}

bool FakeDesktop::isWindowSizeSettable(const WindowElement& window) {
    const auto* fake = live(window);
    return fake && fake->sizeSettable;
}

std::optional<Size> FakeDesktop::windowSize(const WindowElement& window) {
    const auto* fake = live(window);
    return fake ? fake->size : std::nullopt;
}

std::optional<std::string> FakeDesktop::windowIdentifier(const WindowElement& window) {
    const auto* fake = live(window);
    return fake ? fake->identifier : std::nullopt;
}

void FakeDesktop::setWindowSize(const WindowElement& window, Size size) {
    journal.push_back("set size " + std::to_string(static_cast<long long>(size.width)) + "x" +
                      std::to_string(static_cast<long long>(size.height)));
    if (const auto* fake = live(window)) {
        auto* writable = const_cast<FakeWindow*>(fake);
        writable->writtenSizes.push_back(size);
        writable->size = size;
    }
}

} // namespace nivu::test
