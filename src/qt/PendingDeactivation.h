// Qt deactivates the application 400 ms after its window lost the keyboard focus to another
// program, and closes every open menu when it does. A menu opened from the tray or by the hot
// key in that interval would vanish at once; this lets the deactivation happen first.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace nivu {

class PendingDeactivation {
public:
    // keyboardFocus names the window that has the keyboard focus now, as the window system
    // tells it; an empty function means it cannot be asked, and nothing is waited for.
    // qtCountsActive tells whether Qt counts the application as active (by default, what
    // QGuiApplication says).
    explicit PendingDeactivation(std::function<std::uint64_t()> keyboardFocus,
                                 std::chrono::milliseconds bound = std::chrono::milliseconds(500),
                                 std::function<bool()> qtCountsActive = {});

    // Returns at once unless Qt still counts the application as active while the focus is in
    // another program's window; then returns once Qt has caught up, or after the bound. Input
    // events wait meanwhile. Returns false, at once, when called again during that wait: the
    // menu of the first call is on its way.
    [[nodiscard]] bool waitOut();

private:
    bool focusIsElsewhere() const;

    std::function<std::uint64_t()> keyboardFocus_;
    std::chrono::milliseconds bound_;
    std::function<bool()> qtCountsActive_;
    bool waiting_ = false;
};

} // namespace nivu
