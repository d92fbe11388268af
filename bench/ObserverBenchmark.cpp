// Resize events through a real X server and window manager into the observer: events handled
// per second, CPU time and X round trips waited per event. Needs DISPLAY with an EWMH window
// manager (bench/report provides one).
#include "ClientWindow.h"
#include "ManualScheduler.h"
#include "accessibility/AccessibilityObserver.h"
#include "x11/X11Connection.h"
#include "x11/X11Desktop.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <unistd.h>

namespace nivu::bench {
namespace {

void ResizeEventsThroughObserver(benchmark::State& state) {
    ManualScheduler scheduler;
    std::unique_ptr<x11::X11Connection> connection;
    try {
        connection = std::make_unique<x11::X11Connection>(nullptr, scheduler);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    x11::X11Desktop desktop(*connection, scheduler);
    if (!desktop.hasAccessibilityPermission()) {
        state.SkipWithError("no EWMH window manager on DISPLAY");
        return;
    }
    AccessibilityObserver observer(desktop, scheduler);
    std::uint64_t delivered = 0;
    observer.onWindowResized = [&](const AccessibilityObserver::ResizedWindowInfo&) {
        ++delivered;
    };
    observer.start();
    ClientWindow client;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (observer.observedPID() != ::getpid() && std::chrono::steady_clock::now() < deadline) {
        client.askToBeActive();
        scheduler.turn(50);
    }
    if (observer.observedPID() != ::getpid()) {
        state.SkipWithError("the benchmark window did not become active");
        return;
    }

    std::uint32_t step = 0;
    const auto roundTripsBefore = connection->roundTrips();
    for (auto _ : state) {
        const auto expected = delivered + 1;
        ++step;
        client.resize(400 + step % 200, 300 + step % 100 + 1);
        while (delivered < expected) {
            scheduler.turn(1000);
        }
    }
    state.counters["events/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["round trips/event"] =
        static_cast<double>(connection->roundTrips() - roundTripsBefore) /
        static_cast<double>(state.iterations());
}
BENCHMARK(ResizeEventsThroughObserver)->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace nivu::bench

BENCHMARK_MAIN();
