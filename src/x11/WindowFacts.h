// Everything the core may ask about one window, read for many windows in one pipelined batch,
// and what it means: subrole, settable size, application.
#pragma once

#include "common/Geometry.h"
#include "platform/Desktop.h"
#include "x11/X11Connection.h"

#include <optional>
#include <string>
#include <vector>
#include <xcb/xcb_icccm.h>

namespace nivu::x11 {

struct WindowFacts {
    bool exists = false;
    bool overrideRedirect = false;
    std::vector<std::uint32_t> windowTypes;
    bool transient = false;
    std::optional<xcb_size_hints_t> normalHints;
    std::optional<std::vector<std::uint32_t>> allowedActions;
    std::vector<std::uint32_t> states; // _NET_WM_STATE
    // The visible size: the client's less the shadow that client-side decorations draw inside
    // it (_GTK_FRAME_EXTENTS), which the user does not see as part of the window.
    std::optional<Size> size;
    Size shadow{0, 0};
    std::optional<std::string> role;
    std::optional<std::string> wmClass;
    std::optional<std::uint32_t> pid;
    std::optional<xcb_window_t> leader;

    // A normal top-level window is standard; nothing when the window is gone.
    std::optional<WindowSubrole> subrole(const X11Connection& x) const;
    // Not fixed-size by its hints, resizable for the window manager where it says, and
    // neither maximized nor fullscreen: there the window manager decides the size.
    bool sizeSettable(const X11Connection& x) const;
    // Maximized in either direction, or fullscreen.
    bool maximizedOrFullscreen(const X11Connection& x) const;
    // The process id, or for windows without one a negative id of their client leader.
    ProcessId application(xcb_window_t window) const;
};

// What a window is by its _NET_WM_WINDOW_TYPE (the first, most preferred type) and whether it
// has WM_TRANSIENT_FOR: a normal window (or one without a type) that is no one's transient is
// standard, a transient or dialog-typed one a dialog, any other type unknown.
WindowSubrole windowKind(const std::vector<std::uint32_t>& types, bool transient, xcb_atom_t normal,
                         xcb_atom_t dialog);

// The left + right and top + bottom of _GTK_FRAME_EXTENTS; nothing unless four cardinals that
// leave some of the client visible.
std::optional<Size> frameShadow(const PropertyValue& extents, Size client);

// One round trip for all windows: every request is sent before any reply is awaited, and the
// events read meanwhile are handled once the main loop is idle.
std::vector<WindowFacts> readWindowFacts(X11Connection& x,
                                         const std::vector<xcb_window_t>& windows);

} // namespace nivu::x11
