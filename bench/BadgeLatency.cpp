// The badge on a real X server. First its showing: over 50 resizes, each after the last one's
// badge has gone, from the moment nivu can read the first ConfigureNotify to the badge's first
// paint, the first of them in a nivu that has shown no badge yet. Then its latency over a drag
// of resize events: from the moment nivu starts handling a ConfigureNotify to the moment the
// badge's new text and position have been requested. Prints one JSON line with p50, p99, CPU
// time and round trips per event. The window is resized from this process, one step at a
// time; the CPU time of those requests is the client's, not nivu's, and is not counted.
#include "ClientWindow.h"
#include "app/AppDelegate.h"
#include "qt/DesktopCoordinates.h"
#include "qt/QtIndicatorView.h"
#include "qt/QtScheduler.h"
#include "qt/QtShell.h"
#include "qt/QtUserDefaults.h"
#include "x11/X11Desktop.h"
#include "x11/X11HotKeys.h"
#include "x11/X11PointerEvents.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <iostream>
#include <poll.h>
#include <sys/resource.h>
#include <time.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// Notes when a widget is painted.
class PaintClock final : public QObject {
public:
    std::vector<Clock::time_point> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            paints.push_back(Clock::now());
        }
        return QObject::eventFilter(watched, event);
    }
};

// Passes every call to the real badge and notes when its position was requested.
class TimedView final : public nivu::IndicatorView {
public:
    TimedView(std::unique_ptr<nivu::IndicatorView> inner, std::vector<Clock::time_point>& moves,
              PaintClock& paints)
        : inner_(std::move(inner))
        , moves_(moves) {
        auto& badge = dynamic_cast<nivu::QtIndicatorView&>(*inner_).widget();
        badge.installEventFilter(&paints);
        badge_ = &badge;
    }
    bool shown() const { return badge_->isVisible(); }
    nivu::Size setLabelText(const std::string& text) override { return inner_->setLabelText(text); }
    void setLabelOrigin(nivu::Point origin) override { inner_->setLabelOrigin(origin); }
    void setFrameOrigin(nivu::Point origin) override {
        inner_->setFrameOrigin(origin);
        moves_.push_back(Clock::now());
    }
    nivu::Size frameSize() const override { return inner_->frameSize(); }
    std::optional<nivu::Rect> screenFrameAt(nivu::Point point) const override {
        return inner_->screenFrameAt(point);
    }
    void orderFront() override { inner_->orderFront(); }
    void orderOut() override { inner_->orderOut(); }

private:
    std::unique_ptr<nivu::IndicatorView> inner_;
    std::vector<Clock::time_point>& moves_;
    const QWidget* badge_ = nullptr;
};

class TimedShell final : public nivu::Shell {
public:
    TimedShell(nivu::Shell& inner, std::vector<Clock::time_point>& moves)
        : inner_(inner)
        , moves_(moves) {}
    std::unique_ptr<nivu::IndicatorView> createIndicatorView() override {
        auto view = std::make_unique<TimedView>(inner_.createIndicatorView(), moves_, paints);
        view_ = view.get();
        return view;
    }
    bool badgeShown() const { return view_ && view_->shown(); }
    PaintClock paints;
    std::unique_ptr<nivu::StatusItem> createStatusItem() override {
        return inner_.createStatusItem();
    }
    std::string localizedString(nivu::TextKey text) override {
        return inner_.localizedString(text);
    }
    void showAccessibilityPrompt() override { inner_.showAccessibilityPrompt(); }
    void popUpMenu(nivu::Menu menu, nivu::Point location) override {
        inner_.popUpMenu(std::move(menu), location);
    }
    void showSettingsWindow() override { inner_.showSettingsWindow(); }
    void showAboutPanel() override { inner_.showAboutPanel(); }
    void terminate() override { inner_.terminate(); }

private:
    nivu::Shell& inner_;
    std::vector<Clock::time_point>& moves_;
    const TimedView* view_ = nullptr;
};

class NoMemory final : public nivu::SizeMemory {
public:
    std::optional<nivu::Size> rememberedSize(std::string_view,
                                             const std::optional<std::string>&) const override {
        return std::nullopt;
    }
    void recordSize(nivu::Size, std::string_view,
                    const std::optional<std::string>&) const override {}
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    const int events = argc > 1 ? std::atoi(argv[1]) : 1000;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    nivu::QtScheduler scheduler;
    nivu::x11::X11Connection connection(nullptr, scheduler);
    nivu::x11::X11Desktop desktop(connection, scheduler);
    nivu::x11::X11PointerEvents pointer(connection, nivu::desktopPointFromX);
    nivu::QtShell shell([] { return false; });
    std::vector<Clock::time_point> moves;
    moves.reserve(static_cast<std::size_t>(events) + 10);
    TimedShell timedShell(shell, moves);
    NoMemory memory;
    QTemporaryDir settingsFolder;
    nivu::QtUserDefaults defaults(settingsFolder.filePath(QStringLiteral("nivu.conf")));
    nivu::AppSettings settings(defaults);
    nivu::x11::X11HotKeys hotKeyPlatform(connection);
    nivu::HotKeyRegistry hotKeys(hotKeyPlatform);
    nivu::AppDelegate delegate(
        nivu::AppEnvironment{desktop, scheduler, pointer, timedShell, hotKeys,
                             [&]() -> nivu::SizeMemory& { return memory; },
                             [&]() -> nivu::AppSettings& { return settings; }});
    delegate.applicationDidFinishLaunching();

    nivu::bench::ClientWindow client;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (delegate.accessibilityObserver().observedPID() != ::getpid() &&
           Clock::now() < deadline) {
        client.askToBeActive();
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    if (delegate.accessibilityObserver().observedPID() != ::getpid()) {
        std::cerr << "badge_latency: the benchmark window did not become active\n";
        return 1;
    }

    // The first showings: one resize each, then the badge's end 0.5 s later.
    std::vector<double> firstShowings;
    for (int i = 0; i < 50; ++i) {
        const std::size_t painted = timedShell.paints.paints.size();
        client.resize(500 + static_cast<std::uint32_t>(i), 300);
        pollfd watched{xcb_get_file_descriptor(connection.get()), POLLIN, 0};
        if (::poll(&watched, 1, 5000) == 0) {
            std::cerr << "badge_latency: no resize event within 5 s\n";
            return 1;
        }
        const auto arrival = Clock::now();
        while (timedShell.paints.paints.size() == painted && Clock::now() - arrival < 5s) {
            connection.drain();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        if (timedShell.paints.paints.size() == painted) {
            std::cerr << "badge_latency: the badge did not show within 5 s\n";
            return 1;
        }
        const std::chrono::duration<double, std::milli> shownAfter =
            timedShell.paints.paints[painted] - arrival;
        firstShowings.push_back(shownAfter.count());
        while (timedShell.badgeShown() && Clock::now() - arrival < 5s) { // its timer wakes us
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }

    std::vector<double> latencies;
    const double cpuBefore = cpuSeconds();
    double clientSeconds = 0;
    const auto tripsBefore = connection.roundTrips();
    for (int i = 0; i < events; ++i) {
        const std::size_t expected = moves.size() + 1;
        // Every step changes the width (the window starts at 400 x 300).
        const double clientBefore = threadCpuSeconds();
        client.resize(401 + static_cast<std::uint32_t>(i % 300), 301 + (i % 2));
        clientSeconds += threadCpuSeconds() - clientBefore;
        // Wait until the event can be read, then time nivu's handling of it.
        while (moves.size() < expected) {
            pollfd watched{xcb_get_file_descriptor(connection.get()), POLLIN, 0};
            if (::poll(&watched, 1, 5000) == 0) {
                std::cerr << "badge_latency: no resize event within 5 s\n";
                return 1;
            }
            const auto arrival = Clock::now();
            connection.drain();
            app.processEvents();
            if (moves.size() >= expected) {
                latencies.push_back(
                    std::chrono::duration<double, std::micro>(moves.back() - arrival).count());
            }
        }
    }
    const double cpuPerEvent = (cpuSeconds() - cpuBefore - clientSeconds) / events * 1e6;
    const double tripsPerEvent =
        static_cast<double>(connection.roundTrips() - tripsBefore) / events;
    std::cout << "{\"events\":" << events << ",\"p50_us\":" << percentile(latencies, 0.5)
              << ",\"p99_us\":" << percentile(latencies, 0.99)
              << ",\"first_shown_ms\":" << firstShowings.front()
              << ",\"shown_p50_ms\":" << percentile(firstShowings, 0.5)
              << ",\"shown_p99_ms\":" << percentile(firstShowings, 0.99)
              << ",\"cpu_us_per_event\":" << cpuPerEvent
              << ",\"round_trips_per_event\":" << tripsPerEvent << "}" << std::endl;
    delegate.applicationWillTerminate();
    return 0;
}
