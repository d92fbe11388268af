// Quitting without hiding a Wayland window while the compositor answers its last frame.
//
// Qt 6.4.2's Wayland client (Debian 12) frees a window's frame callback twice when the window
// is hidden on the main thread while its event thread handles that callback's answer, and
// aborts in libwayland (fixed in Qt 6.4.3). Quitting hides every shown window at once, often
// a frame after it painted. Here each window stops painting and is hidden only when its update
// request comes, which Qt's Wayland client delivers once no frame callback of it is pending.
#pragma once

#include <QWidgetList>
#include <chrono>

namespace nivu {

// Quits the application. On Wayland its shown windows are hidden first, each once its frames
// have settled or after the bound, whichever comes first.
void quitOnceFramesSettle(std::chrono::milliseconds bound = std::chrono::milliseconds(250));

// Hides each of the given windows at its next update request, or all that are left once the
// bound has passed; then quits.
void hideAsFramesSettleThenQuit(const QWidgetList& windows, std::chrono::milliseconds bound);

} // namespace nivu
